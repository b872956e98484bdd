#include "app/SettingsDialog.h"

#include <algorithm>

#include "app/WindowPort.h"

namespace vantrel {

namespace {

// The edit control gives at most 39 characters.
constexpr std::size_t kEditLimit = 39;

void ApplyDefaultsToZeroFields(SavingOptions& options) {
  const SavingOptions defaults;
  if (options.updatedEarlier.day == 0) options.updatedEarlier.day = defaults.updatedEarlier.day;
  if (options.updatedEarlier.month == 0) options.updatedEarlier.month = defaults.updatedEarlier.month;
  if (options.updatedEarlier.year == 0) options.updatedEarlier.year = defaults.updatedEarlier.year;
  if (options.updatedAfter.day == 0) options.updatedAfter.day = defaults.updatedAfter.day;
  if (options.updatedAfter.month == 0) options.updatedAfter.month = defaults.updatedAfter.month;
  if (options.updatedAfter.year == 0) options.updatedAfter.year = defaults.updatedAfter.year;
}

}  // namespace

CalendarDate DateFromPositions(int dayPosition, int monthPosition, int yearPosition) {
  return {dayPosition + 1, monthPosition + 1, yearPosition + 1970};
}

SettingsDialog::SettingsDialog(SavingOptions& options, WindowPort& window)
    : options_(options), window_(window) {
  ApplyDefaultsToZeroFields(options_);
  atOpening_ = options_;
  removeEnabled_ = !options_.extensionList.empty();
}

bool SettingsDialog::AddExtension(const std::string& editText) {
  if (options_.extensionList.size() >= SavingOptions::kMaxExtensions) {
    window_.SystemMessage(kTooManyExtensions, SystemIcon::Error);
    return false;
  }
  const std::string text = editText.substr(0, kEditLimit);
  if (text.size() > 4) {
    window_.SystemMessage(kExtensionTooLong, SystemIcon::Error);
    return false;
  }
  if (text.empty()) return false;
  if (text.find('.') != std::string::npos) {
    window_.SystemMessage(kExtensionWithDot, SystemIcon::Error);
    return false;
  }
  if (text.find('*') != std::string::npos) {
    window_.SystemMessage(kExtensionWithStar, SystemIcon::Error);
    return false;
  }
  auto& list = options_.extensionList;
  if (std::find(list.begin(), list.end(), text) != list.end()) {
    window_.SystemMessage(kExtensionExists, SystemIcon::None);
    return false;
  }
  list.insert(list.begin(), text);
  removeEnabled_ = true;
  return true;
}

int SettingsDialog::RemoveExtension(int selectedRow) {
  auto& list = options_.extensionList;
  if (list.empty()) {
    removeEnabled_ = false;
    return -1;
  }
  if (selectedRow >= 0 && static_cast<std::size_t>(selectedRow) < list.size())
    list.erase(list.begin() + selectedRow);
  return list.empty() ? -1 : 0;
}

void SettingsDialog::Apply(const DatePositions& positions) {
  for (std::size_t i = 0; i < positions.size(); ++i)
    if (positions[i] >= 0) options_.datePositions[i] = positions[i];
  const DatePositions& p = options_.datePositions;
  options_.updatedEarlier = DateFromPositions(p[0], p[1], p[2]);
  options_.updatedAfter = DateFromPositions(p[3], p[4], p[5]);
}

void SettingsDialog::SetNameEncoding(int position) {
  const bool known = position > 0 && static_cast<std::size_t>(position) < kNameEncodings.size();
  options_.nameEncoding = known ? kNameEncodings[static_cast<std::size_t>(position)] : "";
}

int SettingsDialog::NameEncodingPosition() const {
  for (std::size_t i = 1; i < kNameEncodings.size(); ++i)
    if (options_.nameEncoding == kNameEncodings[i]) return static_cast<int>(i);
  return 0;
}

}  // namespace vantrel
