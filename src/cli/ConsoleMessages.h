#pragma once
// What the engines tell the user, on the console: each message a line on standard output,
// or, for a command that prints JSON, kept for its output; remarks are warnings on standard
// error.

#include <string>
#include <vector>

#include "cli/ProgressLine.h"
#include "recovery/RecoveryMessages.h"

namespace vantrel::cli {

class ConsoleMessages : public RecoveryMessages {
 public:
  ConsoleMessages(ProgressLine& line, bool print) : line_(line), print_(print) {}

  void Tell(const std::string& text, MessageStyle style) override;
  void Remark(const std::string& text) override;

  bool Prints() const { return print_; }
  // Every message told, in order.
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  ProgressLine& line_;
  bool print_;
  std::vector<std::string> texts_;
};

}  // namespace vantrel::cli
