#pragma once
// The size of a VHD's disk as the program that made it meant it. Virtual PC (and older qemu)
// size the disk by the footer's CHS geometry and may store a larger current size; Hyper-V,
// disk2vhd and the others take the current size. A geometry at its maximum means the disk
// outgrew it, and the current size counts.

#include <cstdint>
#include <optional>
#include <span>

namespace vantrel {

inline constexpr std::size_t kVhdFooterBytes = 512;

// The disk's size in bytes by its geometry, when the footer's creator sizes disks that way
// and the geometry holds less than the current size; nothing when the current size stands
// (or the bytes are no VHD footer).
std::optional<std::uint64_t> VhdGeometrySize(std::span<const std::byte> footer);

}  // namespace vantrel
