#include "disk/containers/VdiHeader.h"

#include "base/LittleEndian.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kMaxBlockBytes = 256u << 20;

bool IsPowerOfTwo(std::uint64_t n) { return n != 0 && (n & (n - 1)) == 0; }

}  // namespace

std::optional<VdiHeader> DecodeVdiHeader(std::span<const std::byte> head, std::uint64_t fileBytes, std::string& why) {
  if (head.size() < kVdiHeaderBytes || ReadU32(head, 0x40) != kVdiSignature) {
    why = "no VDI header";
    return std::nullopt;
  }
  if (ReadU32(head, 0x44) >> 16 != 1) {
    why = "VDI version " + std::to_string(ReadU32(head, 0x44) >> 16) + " is not read";
    return std::nullopt;
  }
  VdiHeader header;
  header.type = ReadU32(head, 0x4c);
  header.blockMapOffset = ReadU32(head, 0x154);
  header.dataOffset = ReadU32(head, 0x158);
  header.diskBytes = ReadU64(head, 0x170);
  header.blockBytes = ReadU32(head, 0x178);
  header.blockExtraBytes = ReadU32(head, 0x17c);
  header.blocks = ReadU32(head, 0x180);
  header.blocksAllocated = ReadU32(head, 0x184);
  if (header.type < 1 || header.type > 4) {
    why = "VDI image type " + std::to_string(header.type);
  } else if (!IsPowerOfTwo(header.blockBytes) || header.blockBytes < 512 || header.blockBytes > kMaxBlockBytes ||
             header.blockExtraBytes > kMaxBlockBytes) {
    why = "VDI blocks of " + std::to_string(header.blockBytes) + " bytes";
  } else if (header.diskBytes > std::uint64_t{header.blocks} * header.blockBytes ||
             header.blockMapOffset + std::uint64_t{header.blocks} * 4 > fileBytes ||
             header.blocksAllocated > header.blocks) {
    why = "a VDI block map that does not fit the file";
  } else {
    return header;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> VdiBlockOffset(const VdiHeader& header, std::span<const std::uint32_t> map,
                                            std::uint64_t block) {
  if (block >= map.size() || map[block] >= header.blocksAllocated) return std::nullopt;
  return header.dataOffset + std::uint64_t{map[block]} * (std::uint64_t{header.blockExtraBytes} + header.blockBytes) +
         header.blockExtraBytes;
}

}  // namespace vantrel
