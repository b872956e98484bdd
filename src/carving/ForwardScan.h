#pragma once
// Reading a stretch of the disk front to back in large chunks, for the searches that
// size a file by what follows its header.

#include <cstdint>
#include <functional>

#include "carving/OffsetReader.h"

namespace vantrel {

inline constexpr std::size_t kFirstForwardScanChunk = std::size_t{16} << 10;
inline constexpr std::size_t kForwardScanChunk = std::size_t{1} << 20;

// What a chunk shows: its bytes from `position`, of which the first `begins` are new and
// the rest (up to `overlap` bytes, where the stretch goes on) are the start of the next.
using ForwardVisit = std::function<bool(std::uint64_t position, ByteSpan bytes, std::size_t begins)>;

// Visits [from, to) chunk by chunk until `visit` returns false. False when a read failed.
bool ScanForward(const OffsetReader& read, std::uint64_t from, std::uint64_t to, std::size_t overlap,
                 const ForwardVisit& visit);

}  // namespace vantrel
