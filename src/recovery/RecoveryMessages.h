#pragma once
// What an engine step tells the user on its way. The window shows each message in a box of
// the style given; the console prints it.

#include <string>

namespace vantrel {

enum class MessageStyle { Box, SystemError, SystemInformation, SystemPlain };

class RecoveryMessages {
 public:
  virtual ~RecoveryMessages() = default;
  virtual void Tell(const std::string& text, MessageStyle style) = 0;
  // A remark on what the step does anyway (the console prints it as a warning).
  virtual void Remark(const std::string& /*text*/) {}
};

}  // namespace vantrel
