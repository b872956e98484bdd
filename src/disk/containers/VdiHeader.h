#pragma once
// The header and block map of a VirtualBox disk image (VDI), fixed or dynamic: the disk is
// cut into blocks of one size, and the map says where in the file each block lies, or that it
// was never written (zeros). Every field is checked against the file's size before it is
// believed.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr std::uint32_t kVdiSignature = 0xbeda107f;
inline constexpr std::size_t kVdiHeaderBytes = 512;

struct VdiHeader {
  std::uint32_t type = 0;  // 1 dynamic, 2 fixed, 3 undo, 4 differencing
  std::uint64_t diskBytes = 0;
  std::uint64_t blockMapOffset = 0;
  std::uint64_t dataOffset = 0;
  std::uint32_t blockBytes = 0;
  std::uint32_t blockExtraBytes = 0;  // before each block's data in the file
  std::uint32_t blocks = 0;
  std::uint32_t blocksAllocated = 0;
};

// The header of the file's first 512 bytes, or nothing (with why) when it is none or does not
// fit a file of fileBytes.
std::optional<VdiHeader> DecodeVdiHeader(std::span<const std::byte> head, std::uint64_t fileBytes, std::string& why);

// Where a block's data starts in the file, or nothing for a block never written. map holds the
// header's blocks entries; an entry that points past the allocated blocks counts as never
// written.
std::optional<std::uint64_t> VdiBlockOffset(const VdiHeader& header, std::span<const std::uint32_t> map,
                                            std::uint64_t block);

}  // namespace vantrel
