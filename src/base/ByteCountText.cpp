#include "base/ByteCountText.h"

#include <cstdio>

namespace vantrel {

std::string ByteCountText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  constexpr std::uint64_t kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024, kTera = kGiga * 1024;
  const char* unit = bytes < kMega ? "KB" : bytes < kGiga ? "MB" : bytes < kTera ? "GB" : "TB";
  const std::uint64_t scale = bytes < kMega ? kKilo : bytes < kGiga ? kMega : bytes < kTera ? kGiga : kTera;
  // Tenths rounded down: a disk a little short of 2 MB is not shown as 2.0 MB.
  const std::uint64_t tenths = bytes / scale * 10 + bytes % scale * 10 / scale;
  char text[40];
  std::snprintf(text, sizeof text, "%llu.%llu %s", static_cast<unsigned long long>(tenths / 10),
                static_cast<unsigned long long>(tenths % 10), unit);
  return text;
}

}  // namespace vantrel
