#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct CarveOptions {
  int diskIndex = 0;
  std::string out;
  std::optional<std::uint64_t> start;
  std::optional<std::uint64_t> end;
  std::vector<std::string> types;  // short kind names (doc, xls, ...); empty: all
  bool exactSizes = false;
  std::uint64_t textDocumentCapMib = 256;
};

// "carve": raw recovery of one disk (or a sector range of it) into a folder, as the raw
// recovery step runs it; prints the files written, the results rows and a summary. Ctrl-C
// stops the run as the Stop button does.
class CarveCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  CarveOptions options_;
};

// The short names --types takes, in kind order.
std::vector<std::string> CarveKindNames();

}  // namespace vantrel::cli
