#include "stacks/MdSuperblock.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "disk/SectorReader.h"
#include "base/LittleEndian.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kMdMagic = 0xa92b4efc;
constexpr std::size_t kBlockBytes = 4096;
constexpr std::uint64_t kSectorBytes = kSectorSize;

// 1.x feature bits.
constexpr std::uint32_t kFeatureRecoveryOffset = 2;
constexpr std::uint32_t kFeatureReshapeActive = 4;

// 1.x role table entries that are no role.
constexpr std::uint16_t kFirstSpecialRole = 0xff00;

std::uint32_t Word(std::span<const std::byte> block, std::size_t word, bool bigEndian) {
  const std::uint32_t value = ReadU32(block, word * 4);
  return bigEndian ? __builtin_bswap32(value) : value;
}

// The sum of the words folded to 32 bits, as both superblock versions keep it.
std::uint32_t FoldedSum(std::uint64_t sum) { return static_cast<std::uint32_t>((sum & 0xffffffffu) + (sum >> 32)); }

}  // namespace

std::string UuidText(const ArrayUuid& uuid) {
  std::string text;
  char hex[3];
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    if (i > 0 && i % 4 == 0) text += ':';
    std::snprintf(hex, sizeof hex, "%02x", uuid[i]);
    text += hex;
  }
  return text;
}

std::optional<MdMemberSuperblock> DecodeMdSuperblock090(std::span<const std::byte> block, std::uint64_t superOffset,
                                                        std::uint64_t memberSectors) {
  if (block.size() < kBlockBytes) return std::nullopt;
  // The superblock is in the byte order of the machine that wrote it.
  bool bigEndian = false;
  if (Word(block, 0, false) != kMdMagic) {
    if (Word(block, 0, true) != kMdMagic) return std::nullopt;
    bigEndian = true;
  }
  const auto word = [&](std::size_t n) { return Word(block, n, bigEndian); };
  if (word(1) != 0 || (word(2) != 90 && word(2) != 91)) return std::nullopt;
  std::uint64_t sum = 0;
  for (std::size_t n = 0; n < kBlockBytes / 4; ++n)
    if (n != 38) sum += word(n);
  if (FoldedSum(sum) != word(38)) return std::nullopt;

  MdMemberSuperblock sb;
  sb.version = "0.90";
  const std::size_t uuidWords[] = {5, 13, 14, 15};
  for (std::size_t i = 0; i < 4; ++i)
    for (std::size_t b = 0; b < 4; ++b)
      sb.arrayUuid[i * 4 + b] = static_cast<std::uint8_t>(word(uuidWords[i]) >> (24 - 8 * b));
  const auto level = static_cast<std::int32_t>(word(7));
  const std::uint64_t usedSectors = std::uint64_t{word(8)} * 2;
  const std::uint32_t chunkBytes = word(65);
  sb.geometry = MdGeometry{level, word(64), word(10), chunkBytes / kSectorBytes,
                           usedSectors != 0 ? usedSectors : superOffset};
  if (chunkBytes % kSectorBytes != 0) return std::nullopt;
  if (sb.geometry.memberSectors > superOffset || superOffset >= memberSectors) return std::nullopt;
  sb.superOffset = superOffset;
  sb.dataOffset = 0;
  sb.dataSectors = superOffset;  // everything before the superblock, as the driver takes it
  sb.events = bigEndian ? (std::uint64_t{word(39)} << 32 | word(40)) : (std::uint64_t{word(40)} << 32 | word(39));
  sb.clean = (word(33) & 1) != 0;
  // This member's own descriptor: faulty (bit 0), active (1), in sync (2).
  const std::uint32_t raidDisk = word(995);
  const std::uint32_t state = word(996);
  if ((state & 1) == 0 && (state & 6) == 6 && raidDisk < sb.geometry.raidDisks) sb.role = raidDisk;
  if (word(2) == 91) sb.unsupported = "a reshape was under way";
  return sb;
}

std::optional<MdMemberSuperblock> DecodeMdSuperblock1(std::span<const std::byte> block, std::uint64_t superOffset,
                                                      std::uint64_t memberSectors, const std::string& version) {
  if (block.size() < 256 || ReadU32(block, 0) != kMdMagic || ReadU32(block, 4) != 1) return std::nullopt;
  const std::uint32_t maxDev = ReadU32(block, 220);
  const std::size_t bytes = 256 + std::size_t{maxDev} * 2;
  if (maxDev > (kBlockBytes - 256) / 2 || bytes > block.size()) return std::nullopt;
  std::uint64_t sum = 0;
  std::size_t at = 0;
  for (; at + 4 <= bytes; at += 4)
    if (at != 216) sum += ReadU32(block, at);
  if (at < bytes) sum += ReadU16(block, at);
  if (FoldedSum(sum) != ReadU32(block, 216)) return std::nullopt;
  if (ReadU64(block, 144) != superOffset) return std::nullopt;

  MdMemberSuperblock sb;
  sb.version = version;
  for (std::size_t i = 0; i < sb.arrayUuid.size(); ++i) sb.arrayUuid[i] = std::to_integer<std::uint8_t>(block[16 + i]);
  for (std::size_t i = 32; i < 64 && block[i] != std::byte{0}; ++i) sb.name += static_cast<char>(block[i]);
  const std::uint64_t size = ReadU64(block, 80);
  const std::uint64_t dataSize = ReadU64(block, 136);
  sb.dataOffset = ReadU64(block, 128);
  sb.superOffset = superOffset;
  sb.geometry = MdGeometry{static_cast<std::int32_t>(ReadU32(block, 72)), ReadU32(block, 76), ReadU32(block, 92),
                           ReadU32(block, 88), size != 0 ? size : dataSize};
  // The data must lie on the member, apart from the superblock.
  const std::uint64_t used = sb.geometry.memberSectors;
  const std::uint64_t spans = std::max(used, dataSize);
  if (used == 0 || (dataSize != 0 && used > dataSize) || sb.dataOffset > memberSectors ||
      spans > memberSectors - sb.dataOffset)
    return std::nullopt;
  if (sb.dataOffset <= superOffset ? sb.dataOffset + spans > superOffset : superOffset + 2 > sb.dataOffset)
    return std::nullopt;
  sb.dataSectors = dataSize != 0 ? dataSize : used;
  sb.events = ReadU64(block, 200);
  sb.clean = ReadU64(block, 208) == ~std::uint64_t{0};
  const std::uint32_t features = ReadU32(block, 8);
  const std::uint32_t devNumber = ReadU32(block, 160);
  if (devNumber < maxDev) {
    const std::uint16_t role = ReadU16(block, 256 + std::size_t{devNumber} * 2);
    if (role < kFirstSpecialRole && role < sb.geometry.raidDisks) sb.role = role;
  }
  // A member whose rebuild had not finished holds good data only up to the recovery offset.
  sb.rebuilding = (features & kFeatureRecoveryOffset) != 0;
  if (features & kFeatureReshapeActive) sb.unsupported = "a reshape was under way";
  return sb;
}

std::optional<MdMemberSuperblock> FindMdSuperblock(DiskSource& member) {
  const auto size = member.Size();
  if (!size || *size < std::uint64_t{64} * 1024) return std::nullopt;
  const std::uint64_t sectors = *size / kSectorBytes;
  std::vector<std::byte> block(kBlockBytes);
  const auto readAt = [&](std::uint64_t sector) {
    return sector * kSectorBytes + kBlockBytes <= *size && member.Read(sector * kSectorBytes, block) == ReadOutcome::Ok;
  };
  struct Place {
    const char* version;
    std::uint64_t sector;
  };
  const Place places[] = {{"1.2", 8}, {"1.1", 0}, {"1.0", (sectors - 16) & ~std::uint64_t{7}}};
  for (const Place& place : places)
    if (readAt(place.sector))
      if (auto sb = DecodeMdSuperblock1(block, place.sector, sectors, place.version)) return sb;
  const std::uint64_t old = ((*size & ~std::uint64_t{65535}) - 65536) / kSectorBytes;
  if (readAt(old)) return DecodeMdSuperblock090(block, old, sectors);
  return std::nullopt;
}

}  // namespace vantrel
