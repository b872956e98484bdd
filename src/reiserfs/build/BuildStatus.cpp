#include "reiserfs/build/BuildStatus.h"

#include <algorithm>


namespace vantrel {

namespace {

constexpr std::chrono::milliseconds kWriteInterval{50};
// The clock is looked at once in this many changes: changes come far faster than 50 ms.
constexpr unsigned kChangesPerClockRead = 64;

struct TextOf {
  std::string operator()(std::monostate) const { return {}; }
  std::string operator()(const std::string& text) const { return text; }
  std::string operator()(std::uint64_t number) const { return std::to_string(number); }
};

}  // namespace

int ProgressPercent(std::uint64_t part, std::uint64_t whole) {
  return whole == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(part * 100 / whole, 100));
}

void BuildStatus::SetRow(StatusRow row, std::string value) {
  rows_[static_cast<std::size_t>(row)] = std::move(value);
  WriteIfDue();
}

void BuildStatus::SetRow(StatusRow row, std::uint64_t number) {
  rows_[static_cast<std::size_t>(row)] = number;
  WriteIfDue();
}

void BuildStatus::SetStatusText(std::string text) {
  statusText_ = std::move(text);
  WriteIfDue();
}

void BuildStatus::SetStatusCount(const char* prefix, std::uint64_t n, std::uint64_t total) {
  statusText_ = Count{prefix, n, total};
  WriteIfDue();
}

void BuildStatus::SetProgress(int position) {
  progress_ = position;
  WriteIfDue();
}

void BuildStatus::WriteIfDue() {
  // The first change after a write is shown at once when the interval has passed.
  if (changesSinceClock_++ % kChangesPerClockRead != 0) return;
  if (std::chrono::steady_clock::now() - lastWritten_ >= kWriteInterval) Flush();
}

void BuildStatus::Flush() {
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (std::holds_alternative<std::monostate>(rows_[row])) continue;
    sink_.ShowRow(row, std::visit(TextOf{}, rows_[row]));
    rows_[row] = std::monostate{};
  }
  if (const auto* text = std::get_if<std::string>(&statusText_)) sink_.ShowStatusText(*text);
  if (const auto* count = std::get_if<Count>(&statusText_))
    sink_.ShowStatusText(count->prefix + std::to_string(count->n) + "/" + std::to_string(count->total));
  if (progress_) sink_.ShowProgress(*progress_);
  statusText_ = std::monostate{};
  progress_.reset();
  lastWritten_ = std::chrono::steady_clock::now();
  changesSinceClock_ = 0;
}

}  // namespace vantrel
