#pragma once
// SHA-256 of files and byte strings, as hex, to compare recovered files with manifests.

#include <string>

namespace vantrel::test {

// A symbolic link's hash is its target text's: what a saved link holds, as a file saved
// from it would.
std::string Sha256OfFile(const std::string& path);
std::string Sha256Of(const std::string& bytes);

}  // namespace vantrel::test
