#pragma once
// Runs the built vantrel-cli with arguments, as a user would, and keeps what it printed.

#include <string>
#include <vector>

namespace vantrel::test {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs vantrel-cli with a shell-quoted argument string and no standard input.
CliRun RunCli(const std::string& arguments);
// The same with variables set in its environment ("NAME=value ...", shell-quoted).
CliRun RunCliWithEnvironment(const std::string& variables, const std::string& arguments);
// The same as the unprivileged user nobody (the caller must be root).
CliRun RunCliAsNobody(const std::string& arguments);
// Single-quotes a path for the argument string.
std::string Quoted(const std::string& path);
// "--disk 'a.img' --disk 'b.img' ": each image as a --disk option, in order.
std::string DiskOptions(const std::vector<std::string>& images);

}  // namespace vantrel::test
