#pragma once
// The engines' messages shown by the window: a message box of the style asked for.

#include "recovery/RecoveryMessages.h"

namespace vantrel {

class WindowPort;

class WindowMessages : public RecoveryMessages {
 public:
  explicit WindowMessages(WindowPort& window) : window_(window) {}
  void Tell(const std::string& text, MessageStyle style) override;

 private:
  WindowPort& window_;
};

}  // namespace vantrel
