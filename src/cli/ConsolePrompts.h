#pragma once
// The console's answers to the engines' questions: given in advance by flags, asked on the
// terminal, or, without a terminal, the careful choice (Skip All for bad sectors, keep
// existing files, skip a file that cannot be written), said once on standard error.

#include <optional>
#include <string>

#include "cli/ProgressLine.h"
#include "cli/TerminalQuestions.h"
#include "disk/BadSectorPrompt.h"
#include "recovery/SaveQuestions.h"

namespace vantrel::cli {

struct PresetAnswers {
  std::optional<BadSectorPolicy> badSectors;
  std::optional<ReplaceAnswer> replace;
};

class ConsolePrompts : public BadSectorPrompt, public SavePrompts {
 public:
  // With interactive set, what is not preset is asked on the terminal.
  ConsolePrompts(const PresetAnswers& preset, bool interactive, ProgressLine& line);

  BadSectorPolicy AskBadSector(const BadSectorQuestion& question) override;
  ReplaceAnswer AskReplaceFile(const std::string& path) override;
  WriteErrorAnswer AskWriteError(const std::string& path) override;

 private:
  void TellOnce(bool& told, const std::string& text);

  PresetAnswers preset_;
  ProgressLine& line_;
  std::optional<TerminalQuestions> terminal_;
  bool toldBadSectors_ = false;
  bool toldReplace_ = false;
};

}  // namespace vantrel::cli
