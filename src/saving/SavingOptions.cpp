#include "saving/SavingOptions.h"

#include <ctime>

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

}  // namespace

bool PassesScope(const SavingOptions& options, bool rowSelected) {
  switch (options.saveScope) {
    case 0: return rowSelected;
    case 2: return !rowSelected;
    default: return true;
  }
}

bool PassesDeletedFilter(const SavingOptions& options, bool deleted) {
  if (options.deletedFilter == 2) return deleted;
  if (options.deletedFilter == 1) return !deleted;
  return true;
}

bool PassesDateWindow(const SavingOptions& options, std::uint32_t modificationTime) {
  const CalendarDate& earlier = options.updatedEarlier;
  const CalendarDate& after = options.updatedAfter;
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
