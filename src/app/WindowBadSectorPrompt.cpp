#include "app/WindowBadSectorPrompt.h"

#include "app/WindowPort.h"

namespace vantrel {

BadSectorPolicy WindowBadSectorPrompt::AskBadSector() {
  return window_ != nullptr ? static_cast<BadSectorPolicy>(window_->AskBadSector()) : BadSectorPolicy::Skip;
}

}  // namespace vantrel
