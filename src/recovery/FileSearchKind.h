#pragma once
// How a partition's catalogue is built: the live tree only, or every block of it. The
// numbers are the ones recovery logs store: they never change.

#include <cstdint>

namespace vantrel {

enum class FileSearchKind : std::uint16_t { None = 0, Quick = 1, Advanced = 2 };

}  // namespace vantrel
