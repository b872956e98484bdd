#pragma once
// What the tests that mount need to know about the machine and a folder.

#include <filesystem>
#include <string>

namespace vantrel::test {

// True when FUSE mounts can be made here; otherwise why not, for the skip message.
bool FuseAvailable(std::string* why);

// True when something is mounted on the folder (it is on another device than its parent).
bool IsMountPoint(const std::filesystem::path& folder);

}  // namespace vantrel::test
