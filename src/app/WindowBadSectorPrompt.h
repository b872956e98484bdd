#pragma once
// The sector reader's bad-sector question asked in the window, once there is one.

#include "app/QuestionTime.h"
#include "disk/BadSectorPrompt.h"

namespace vantrel {

class WindowPort;

class WindowBadSectorPrompt : public BadSectorPrompt {
 public:
  explicit WindowBadSectorPrompt(WindowPort*& window) : window_(window) {}
  BadSectorPolicy AskBadSector(const BadSectorQuestion& question) override;
  // The time spent on this question, for the estimates of the runs that asked it.
  QuestionTime& Time() { return time_; }

 private:
  WindowPort*& window_;
  QuestionTime time_;
};

}  // namespace vantrel
