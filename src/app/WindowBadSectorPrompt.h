#pragma once
// The sector reader's bad-sector question asked in the window, once there is one.

#include "disk/BadSectorPrompt.h"

namespace vantrel {

class WindowPort;

class WindowBadSectorPrompt : public BadSectorPrompt {
 public:
  explicit WindowBadSectorPrompt(WindowPort*& window) : window_(window) {}
  BadSectorPolicy AskBadSector() override;

 private:
  WindowPort*& window_;
};

}  // namespace vantrel
