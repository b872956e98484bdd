#include "saving/SavingOptions.h"

#include <algorithm>
#include <ctime>
#include <sstream>

namespace vantrel {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::int64_t DayNumber(int day, int month, int year) {
  return (std::int64_t{day} + 30 * (std::int64_t{month} + 12 * std::int64_t{year})) * 24;
}

// The edit field gives at most 39 characters.
constexpr std::size_t kEditLimit = 39;

}  // namespace

std::optional<CalendarDate> ParseCalendarDate(const std::string& text, int lastYear) {
  int day = 0, month = 0, year = 0;
  char slash1 = 0, slash2 = 0;
  std::istringstream in(text);
  if (!(in >> day >> slash1 >> month >> slash2 >> year) || slash1 != '/' || slash2 != '/' || !in.eof()) return {};
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < kFirstDateYear || year > lastYear) return {};
  return CalendarDate{day, month, year};
}

ExtensionAdded AddExtension(SavingOptions& options, const std::string& text) {
  auto& list = options.extensionList;
  if (list.size() >= SavingOptions::kMaxExtensions) return {false, kTooManyExtensions};
  const std::string extension = text.substr(0, kEditLimit);
  if (extension.size() > 4) return {false, kExtensionTooLong};
  if (extension.empty()) return {};
  if (extension.find('.') != std::string::npos) return {false, kExtensionWithDot};
  if (extension.find('*') != std::string::npos) return {false, kExtensionWithStar};
  if (std::find(list.begin(), list.end(), extension) != list.end()) return {false, kExtensionExists, true};
  list.insert(list.begin(), extension);
  return {true};
}

bool PassesScope(const SavingOptions& options, bool rowSelected) {
  switch (options.saveScope) {
    case SaveScope::SelectedRows: return rowSelected;
    case SaveScope::RowsNotSelected: return !rowSelected;
    case SaveScope::AllRows: return true;
  }
  return true;
}

bool PassesDeletedFilter(const SavingOptions& options, bool deleted) {
  switch (options.deletedFilter) {
    case DeletedFilter::Only: return deleted;
    case DeletedFilter::Exclude: return !deleted;
    case DeletedFilter::Include: return true;
  }
  return true;
}

bool PassesDateWindow(const SavingOptions& options, std::uint32_t modificationTime) {
  const CalendarDate& earlier = options.modified.last;
  const CalendarDate& after = options.modified.first;
  if (earlier.year == 0 || earlier.year < after.year) return true;
  const std::time_t time = static_cast<std::time_t>(modificationTime);
  std::tm local{};
  // A time the platform cannot turn into a date is kept: nothing is lost by saving it.
  if (::localtime_r(&time, &local) == nullptr) return true;
  const int year = local.tm_year + 1900;
  if (year > earlier.year || year < after.year) return false;
  const std::int64_t entry = DayNumber(local.tm_mday, local.tm_mon + 1, year);
  return DayNumber(after.day, after.month, after.year) <= entry &&
         entry <= DayNumber(earlier.day, earlier.month, earlier.year);
}

bool PassesExtensions(const SavingOptions& options, const std::string& name) {
  if (options.extensionList.empty()) return true;
  const auto dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
  for (const auto& listed : options.extensionList)
    if (EqualIgnoringCase(listed, extension)) return true;
  return false;
}

NameDecoder ShownNames(const SavingOptions& options) {
  return NameDecoder::For(options.nameEncoding).value_or(NameDecoder{});
}

}  // namespace vantrel
