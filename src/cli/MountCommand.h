#pragma once
// vantrel-cli mount: the catalogue of a partition as a read-only file system.

#include <CLI/CLI.hpp>
#include <string>

#include "cli/ConsoleCommand.h"
#include "cli/MountSource.h"

namespace vantrel::cli {

struct MountOptions {
  std::string mountpoint;
  int diskIndex = 0;
  MountSourceOptions source;
  std::string fileSearch = "quick";
  bool strict = false;  // damaged ranges read as EIO instead of zeros
  bool foreground = false;
  bool convertNames = false;  // names served decoded from --name-encoding
};

// "mount": builds the catalogue, mounts it and serves it until it is unmounted.
class MountCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  MountOptions options_;
};

}  // namespace vantrel::cli
