#pragma once
// The status bar's clock: hours and minutes "%02i:%02i" in 12-hour form (13 to 23 become 1
// to 11; 0 stays 0).

#include <string>

namespace vantrel {

std::string ClockText(int hour, int minute);

}  // namespace vantrel
