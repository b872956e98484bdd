#pragma once
// One command of vantrel-cli: it puts itself and its options on the command line, and runs
// when it was the one given.

#include <CLI/CLI.hpp>

#include "cli/CliSession.h"

namespace vantrel::cli {

class ConsoleCommand {
 public:
  virtual ~ConsoleCommand() = default;
  // Adds the command and its options to app; returns the command whose parsing means it
  // was given (for a command group, the command inside it).
  virtual CLI::App* AddTo(CLI::App& app) = 0;
  // The command prints JSON and nothing else: messages are kept for it, not printed.
  virtual bool PrintsJson() const { return false; }
  // Answers the command's options give in advance, before the session asks anything.
  virtual void PresetAnswersOf(PresetAnswers& /*answers*/) const {}
  virtual int Run(CliSession& session, const GlobalOptions& global) = 0;
};

// An example for a command's --help.
inline void AddExample(CLI::App* command, const std::string& example) { command->footer("Example:\n  " + example); }

}  // namespace vantrel::cli
