#pragma once
// A count of bytes as a person reads it: the largest unit that keeps the number at one or
// more, with one decimal ("1.9 MB" for 1.95 MiB, never a whole unit that hides the rest).

#include <cstdint>
#include <string>

namespace vantrel {

// "300 bytes", "12.0 KB", "1.9 MB", "3.0 GB" (units of 1024).
std::string ByteCountText(std::uint64_t bytes);

}  // namespace vantrel
