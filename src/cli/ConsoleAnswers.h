#pragma once
// The console's answers to the dialogs: given in advance by flags, asked on the terminal,
// or, without a terminal, the careful choice (Skip All for bad sectors, keep existing files,
// skip a file that cannot be written), said once on standard error.

#include <optional>
#include <string>

#include "app/DialogAnswers.h"

namespace vantrel::cli {

struct PresetAnswers {
  std::optional<BadSectorAnswer> badSectors;
  std::optional<ReplaceAnswer> replace;
};

class ConsoleAnswers : public DialogAnswers {
 public:
  // With interactive set, what is not preset is asked on the terminal.
  ConsoleAnswers(const PresetAnswers& preset, bool interactive);

  bool AnswerYesNo(const std::string& question) override;
  BadSectorAnswer AnswerBadSector() override;
  ReplaceAnswer AnswerReplace(const std::string& path) override;
  WriteErrorAnswer AnswerWriteError(const std::string& path) override;

 private:
  void TellOnce(bool& told, const std::string& text);

  PresetAnswers preset_;
  std::optional<TerminalAnswers> terminal_;
  bool toldBadSectors_ = false;
  bool toldReplace_ = false;
};

}  // namespace vantrel::cli
