#include "app/ClockText.h"

#include <cstdio>

namespace vantrel {

std::string ClockText(int hour, int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02i:%02i", hour > 12 ? hour - 12 : hour, minute);
  return text;
}

}  // namespace vantrel
