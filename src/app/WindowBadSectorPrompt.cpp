#include "app/WindowBadSectorPrompt.h"

#include "app/WindowPort.h"

namespace vantrel {

BadSectorPolicy WindowBadSectorPrompt::AskBadSector(const BadSectorQuestion& question) {
  if (window_ == nullptr) return BadSectorPolicy::Skip;
  return time_.Timed([&] { return window_->AskBadSector(question); });
}

}  // namespace vantrel
