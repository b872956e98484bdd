#include "cli/ProgressLine.h"

#include <algorithm>
#include <ostream>

namespace vantrel::cli {

void ProgressLine::SetPercent(int percent) {
  const std::lock_guard lock(mutex_);
  percent_ = percent;
  DrawIfDue();
}

void ProgressLine::SetText(Slot slot, std::string text) {
  const std::lock_guard lock(mutex_);
  texts_[slot] = std::move(text);
  DrawIfDue();
}

void ProgressLine::Finish() {
  const std::lock_guard lock(mutex_);
  if (stream_ == nullptr || !open_) return;
  *stream_ << "\r\033[K" << std::flush;
  open_ = false;
}

void ProgressLine::DrawIfDue() {
  if (stream_ == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (open_ && now - lastDrawn_ < std::chrono::milliseconds(100)) return;
  lastDrawn_ = now;
  *stream_ << "\r\033[K" << percent_ << '%';
  for (const std::string& text : texts_)
    if (!text.empty()) *stream_ << "  " << text;
  *stream_ << std::flush;
  open_ = true;
}

}  // namespace vantrel::cli
