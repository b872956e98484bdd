#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct ImageOptions {
  int diskIndex = 0;
  std::optional<int> partition;
  std::optional<std::uint64_t> start;
  std::optional<std::uint64_t> end;
  std::string out;
  std::string mapfile;
};

// "image": the raw bytes of any listed disk (a disk, an array, a logical volume, a
// container), of one of its partitions or of a run of its sectors, into a file (sparse
// where it reads zeros) or onto standard output; progress on a terminal, a summary on
// standard error, and a ddrescue mapfile of what could not be read. Ctrl-C stops it.
class ImageCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  ImageOptions options_;
};

}  // namespace vantrel::cli
