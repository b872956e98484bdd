#include "app/SettingsDialog.h"

#include "app/WindowPort.h"

namespace vantrel {

namespace {

void ApplyDefaultsToZeroFields(CalendarDate& date, const CalendarDate& defaults) {
  if (date.day == 0) date.day = defaults.day;
  if (date.month == 0) date.month = defaults.month;
  if (date.year == 0) date.year = defaults.year;
}

// The list positions of a date: DD - 1, MM - 1, YYYY - 1970.
void PutPositions(const CalendarDate& date, int* positions) {
  positions[0] = date.day - 1;
  positions[1] = date.month - 1;
  positions[2] = date.year - kFirstDateYear;
}

}  // namespace

CalendarDate DateFromPositions(int dayPosition, int monthPosition, int yearPosition) {
  return {dayPosition + 1, monthPosition + 1, yearPosition + kFirstDateYear};
}

SettingsDialog::SettingsDialog(SavingOptions& options, WindowPort& window) : options_(options), window_(window) {
  const CalendarDateRange defaults;
  ApplyDefaultsToZeroFields(options_.modified.last, defaults.last);
  ApplyDefaultsToZeroFields(options_.modified.first, defaults.first);
  atOpening_ = options_;
  removeEnabled_ = !options_.extensionList.empty();
}

bool SettingsDialog::AddExtension(const std::string& editText) {
  const ExtensionAdded added = vantrel::AddExtension(options_, editText);
  if (added.refusal != nullptr)
    window_.SystemMessage(added.refusal, added.plainRefusal ? SystemIcon::None : SystemIcon::Error);
  if (added.added) removeEnabled_ = true;
  return added.added;
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

DatePositions SettingsDialog::Positions() const {
  DatePositions positions{};
  PutPositions(options_.modified.last, positions.data());
  PutPositions(options_.modified.first, positions.data() + 3);
  return positions;
}

void SettingsDialog::Apply(const DatePositions& positions) {
  DatePositions p = Positions();
  for (std::size_t i = 0; i < positions.size(); ++i)
    if (positions[i] >= 0) p[i] = positions[i];
  options_.modified.last = DateFromPositions(p[0], p[1], p[2]);
  options_.modified.first = DateFromPositions(p[3], p[4], p[5]);
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
