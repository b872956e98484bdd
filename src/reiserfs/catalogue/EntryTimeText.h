#pragma once
// The date and time texts of a catalogue entry's modification time, in local time:
// "05-Jan-2006" and "09:05:03"; "Error" for both when the time is 0 or negative as a
// signed 32-bit number.

#include <cstdint>
#include <string>

namespace vantrel {

inline constexpr const char* kTimeErrorText = "Error";

std::string EntryDateText(std::uint32_t modificationTime);
std::string EntryTimeText(std::uint32_t modificationTime);

}  // namespace vantrel
