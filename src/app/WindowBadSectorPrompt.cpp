#include "app/WindowBadSectorPrompt.h"

#include "app/WindowPort.h"

namespace vantrel {

BadSectorPolicy WindowBadSectorPrompt::AskBadSector() {
  if (window_ == nullptr) return BadSectorPolicy::Skip;
  return static_cast<BadSectorPolicy>(time_.Timed([this] { return window_->AskBadSector(); }));
}

}  // namespace vantrel
