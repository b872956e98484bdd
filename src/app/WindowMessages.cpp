#include "app/WindowMessages.h"

#include "app/WindowPort.h"

namespace vantrel {

void WindowMessages::Tell(const std::string& text, MessageStyle style) {
  switch (style) {
    case MessageStyle::Box: window_.ShowMessage(text); return;
    case MessageStyle::SystemError: window_.SystemMessage(text, SystemIcon::Error); return;
    case MessageStyle::SystemInformation: window_.SystemMessage(text, SystemIcon::Information); return;
    case MessageStyle::SystemPlain: window_.SystemMessage(text, SystemIcon::None); return;
  }
}

}  // namespace vantrel
