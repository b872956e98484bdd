#include "reiserfs/catalogue/EntryTimeText.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <optional>

namespace vantrel {

namespace {

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::optional<std::tm> LocalTime(std::uint32_t modificationTime) {
  if (modificationTime == 0 || static_cast<std::int32_t>(modificationTime) < 0) return std::nullopt;
  const std::time_t seconds = static_cast<std::time_t>(modificationTime);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  return local;
}

}  // namespace

std::string EntryDateText(std::uint32_t modificationTime) {
  const auto local = LocalTime(modificationTime);
  if (!local) return kTimeErrorText;
  const bool knownMonth = local->tm_mon >= 0 && local->tm_mon < 12;
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%s-%d", local->tm_mday, knownMonth ? kMonths[local->tm_mon] : "Err",
                local->tm_year + 1900);
  return text;
}

std::string EntryTimeText(std::uint32_t modificationTime) {
  const auto local = LocalTime(modificationTime);
  if (!local) return kTimeErrorText;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local->tm_hour, local->tm_min, local->tm_sec);
  return text;
}

}  // namespace vantrel
