#include "support/CliRunner.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "support/TempDir.h"

namespace vantrel::test {

namespace {

CliRun RunCommand(const std::string& prefix, const std::string& arguments) {
  TempDir dir;
  const std::string errFile = (dir / "stderr").string();
  const std::string command = prefix + VANTREL_CLI_PATH + " " + arguments + " 2>" + errFile + " </dev/null";
  CliRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) run.out.append(chunk.data(), got);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  run.err.assign(std::istreambuf_iterator<char>(err), {});
  return run;
}

}  // namespace

CliRun RunCli(const std::string& arguments) { return RunCommand("", arguments); }

CliRun RunCliWithEnvironment(const std::string& variables, const std::string& arguments) {
  return RunCommand("env " + variables + " ", arguments);
}

CliRun RunCliAsNobody(const std::string& arguments) {
  return RunCommand("setpriv --reuid=65534 --regid=65534 --clear-groups ", arguments);
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string DiskOptions(const std::vector<std::string>& images) {
  std::string options;
  for (const std::string& image : images) options += "--disk " + Quoted(image) + " ";
  return options;
}

}  // namespace vantrel::test
