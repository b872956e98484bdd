#pragma once
// The questions the engines ask, put on a terminal: the question goes to `out`, the answer
// is read from `in`; the end of the input answers as closing the dialog would.

#include <iosfwd>
#include <optional>
#include <string>

#include "disk/BadSectorPrompt.h"
#include "recovery/SaveQuestions.h"

namespace vantrel::cli {

class TerminalQuestions {
 public:
  TerminalQuestions(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  bool AskYesNo(const std::string& question);
  BadSectorPolicy AskBadSector(const BadSectorQuestion& question);
  ReplaceAnswer AskReplace(const std::string& path);
  WriteErrorAnswer AskWriteError(const std::string& path);

 private:
  std::istream& in_;
  std::ostream& out_;
};

// Parses "retry", "skip", "retry-all" or "skip-all" (any case, spaces around ignored).
std::optional<BadSectorPolicy> ParseBadSectorPolicy(const std::string& text);

}  // namespace vantrel::cli
