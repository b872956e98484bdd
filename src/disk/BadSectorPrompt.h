#pragma once
// The question a failed read asks: "Bad Sector Encountered", answered Retry, Skip, Retry All
// or Skip All. The window asks the user; the console answers from a flag or a terminal.

namespace vantrel {

enum class BadSectorPolicy { Retry = 0, Skip = 1, RetryAll = 2, SkipAll = 3 };

class BadSectorPrompt {
 public:
  virtual ~BadSectorPrompt() = default;
  virtual BadSectorPolicy AskBadSector() = 0;
};

}  // namespace vantrel
