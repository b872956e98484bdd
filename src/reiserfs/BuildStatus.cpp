#include "reiserfs/BuildStatus.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"

namespace vantrel {

namespace {

constexpr std::chrono::milliseconds kWriteInterval{50};
constexpr int kStatusRowImage = 10;

}  // namespace

void BuildStatus::SetUpRows() {
  const int list = control::kDetailsList;
  window_.ListRemoveAllRows(list);
  window_.ListRemoveAllColumns(list);
  window_.ListInsertColumn(list, {"", 200});
  window_.ListInsertColumn(list, {"", 300});
  for (int i = 0; i < 4; ++i) window_.ListInsertColumn(list, {"", 0});
  for (const char* label : kStatusRowLabels) window_.ListInsertRow(list, label, kStatusRowImage);
}

void BuildStatus::SetRow(StatusRow row, std::string value) {
  rows_[static_cast<std::size_t>(row)] = std::move(value);
  WriteIfDue();
}

void BuildStatus::SetStatusText(std::string text) {
  statusText_ = std::move(text);
  WriteIfDue();
}

void BuildStatus::SetProgress(int position) {
  progress_ = position;
  WriteIfDue();
}

void BuildStatus::WriteIfDue() {
  if (std::chrono::steady_clock::now() - lastWritten_ >= kWriteInterval) Flush();
}

void BuildStatus::Flush() {
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (!rows_[row]) continue;
    window_.ListSetCell(control::kDetailsList, row, 1, *rows_[row]);
    rows_[row].reset();
  }
  if (statusText_) window_.SetControlText(control::kStatusText, *statusText_);
  if (progress_) window_.SetProgress(control::kSearchProgress, *progress_);
  statusText_.reset();
  progress_.reset();
  lastWritten_ = std::chrono::steady_clock::now();
}

}  // namespace vantrel
