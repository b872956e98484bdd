#pragma once
// The extended attributes of a path (the link itself for a symbolic link), as getfattr -e
// hex shows them: each name with its value as "0x" and two hex digits a byte.

#include <filesystem>
#include <map>
#include <string>

namespace vantrel::test {

std::map<std::string, std::string> ExtendedAttributesInHex(const std::filesystem::path& path);

}  // namespace vantrel::test
