#pragma once
// vantrel-cli mount: the catalogue of a partition as a read-only file system.

#include <CLI/CLI.hpp>
#include <string>

#include "cli/CliSession.h"
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

// Registers the mount subcommand and its options.
CLI::App* AddMountCommand(CLI::App& app, MountOptions& options);

// Builds the catalogue, mounts it and serves it until it is unmounted.
int RunMountCommand(CliSession& session, const GlobalOptions& global, const MountOptions& options);

}  // namespace vantrel::cli
