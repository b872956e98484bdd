#include "stacks/DdfMembership.h"

#include <zlib.h>

#include <algorithm>
#include <map>

namespace vantrel {

namespace {

constexpr std::uint64_t kSector = 512;
constexpr std::uint32_t kHeaderSignature = 0xde11de11;
constexpr std::uint32_t kPhysicalDiskDataSignature = 0x33333333;
constexpr std::uint32_t kVirtualDiskRecordsSignature = 0xdddddddd;
constexpr std::uint32_t kConfigurationSignature = 0xeeeeeeee;
constexpr std::uint8_t kAnchor = 0x00;
constexpr std::uint8_t kPrimary = 0x01;
constexpr std::uint8_t kSecondary = 0x02;
// Sections are read this far at most (a controller's are a few hundred KiB).
constexpr std::uint64_t kMaxSectionSectors = 16384;
constexpr std::size_t kGuidBytes = 24;

// Primary RAID levels and their qualifiers.
constexpr std::uint8_t kRaid0 = 0x00;
constexpr std::uint8_t kRaid1 = 0x01;
constexpr std::uint8_t kRaid5 = 0x05;
constexpr std::uint8_t kRaid6 = 0x06;
constexpr std::uint8_t kSingle = 0x0f;
constexpr std::uint8_t kConcatenated = 0x1f;
constexpr std::uint8_t kParityZeroRestart = 0x00;  // RAID5; RAID6 names it 0x01
constexpr std::uint8_t kParityNRestart = 0x02;
constexpr std::uint8_t kParityNContinue = 0x03;
constexpr std::uint8_t kSecondaryStriped = 0x00;

std::uint64_t Be(std::span<const std::byte> bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | std::to_integer<std::uint64_t>(bytes[at + i]);
  return value;
}
std::uint32_t Be32(std::span<const std::byte> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(Be(bytes, at, 4));
}

}  // namespace

// The CRC of a structure: CRC-32's polynomial run from zero with no inversion at either end
// (as mdadm and the controllers it reads along with keep it), over the structure with its
// CRC field as all ones.
std::uint32_t DdfCrc(std::span<const std::byte> bytes) {
  constexpr std::array<Bytef, 4> kOnes = {0xff, 0xff, 0xff, 0xff};
  // zlib's CRC-32 started from all ones begins from zero inside; its final inversion is undone.
  uLong crc = crc32(0xffffffff, reinterpret_cast<const Bytef*>(bytes.data()), 4);
  crc = crc32(crc, kOnes.data(), 4);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()) + 8, static_cast<uInt>(bytes.size() - 8));
  return ~static_cast<std::uint32_t>(crc);
}

namespace {

// True when the structure's signature is right and its CRC holds.
bool Holds(std::span<const std::byte> bytes, std::uint32_t signature) {
  return bytes.size() >= 8 && Be32(bytes, 0) == signature && DdfCrc(bytes) == Be32(bytes, 4);
}

class Member {
 public:
  explicit Member(DiskSource& disk) : disk_(disk), sectors_(disk.Size().value_or(0) / kSector) {}
  std::uint64_t Sectors() const { return sectors_; }
  // Sectors [first, first + count) of the member, or nothing when they lie past its end or fail.
  std::optional<std::vector<std::byte>> Read(std::uint64_t first, std::uint64_t count) {
    if (count == 0 || count > kMaxSectionSectors || first >= sectors_ || count > sectors_ - first) return std::nullopt;
    std::vector<std::byte> bytes(count * kSector);
    if (disk_.Read(first * kSector, bytes) != ReadOutcome::Ok) return std::nullopt;
    return bytes;
  }

 private:
  DiskSource& disk_;
  std::uint64_t sectors_;
};

struct Header {
  std::uint64_t lba = 0;
  std::vector<std::byte> bytes;
  std::uint64_t Section(std::size_t field) const { return lba + Be32(bytes, field); }
  std::uint64_t SectionSectors(std::size_t field) const { return Be32(bytes, field + 4); }
};

// The header at lba when it is of that type and belongs to the anchor's container.
std::optional<Header> HeaderAt(Member& member, std::uint64_t lba, std::uint8_t type, std::span<const std::byte> guid) {
  auto bytes = member.Read(lba, 1);
  if (!bytes || !Holds(*bytes, kHeaderSignature) || std::to_integer<std::uint8_t>((*bytes)[112]) != type ||
      !std::equal(guid.begin(), guid.end(), bytes->begin() + 8))
    return std::nullopt;
  return Header{lba, std::move(*bytes)};
}

std::string NameOf(std::span<const std::byte> field) {
  std::string name;
  for (const std::byte b : field) {
    const char c = static_cast<char>(b);
    if (c == '\0') break;
    name += c >= 0x20 && c < 0x7f ? c : '_';
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// The virtual disks' names by GUID.
std::map<std::string, std::string> VirtualDiskNames(Member& member, const Header& header) {
  std::map<std::string, std::string> names;
  const auto records = member.Read(header.Section(208), header.SectionSectors(208));
  if (!records || !Holds(*records, kVirtualDiskRecordsSignature)) return names;
  const std::size_t populated = std::min<std::size_t>(Be(*records, 8, 2), (records->size() - 64) / 64);
  for (std::size_t i = 0; i < populated; ++i) {
    const auto entry = std::span(*records).subspan(64 + i * 64, 64);
    names[std::string(reinterpret_cast<const char*>(entry.data()), kGuidBytes)] = NameOf(entry.subspan(48, 16));
  }
  return names;
}

ArrayUuid UuidOf(std::span<const std::byte> guid) {
  ArrayUuid uuid{};
  for (std::size_t i = 0; i < uuid.size(); ++i)
    uuid[i] = std::to_integer<std::uint8_t>(guid[i] ^
                                            (i < kGuidBytes - uuid.size() ? guid[uuid.size() + i] : std::byte{0}));
  return uuid;
}

// The md level and layout the record's RAID levels stand for; `unsupported` says why not.
void SetLevel(std::span<const std::byte> record, std::uint32_t elements, MdMemberSuperblock& sb) {
  const auto primary = std::to_integer<std::uint8_t>(record[67]);
  const auto qualifier = std::to_integer<std::uint8_t>(record[68]);
  const auto secondaryCount = std::to_integer<std::uint8_t>(record[69]);
  const auto secondaryLevel = std::to_integer<std::uint8_t>(record[71]);
  MdGeometry& g = sb.geometry;
  g.raidDisks = elements;
  const auto levelText = [&] { return "DDF RAID level " + std::to_string(primary) + "/" + std::to_string(qualifier); };
  if (secondaryCount > 1) {
    // Mirrored pairs striped together: md's RAID10 with as many near copies as each mirror has.
    if (primary != kRaid1 || secondaryLevel != kSecondaryStriped) {
      sb.unsupported = levelText() + " spanned over " + std::to_string(secondaryCount) + " elements is not read";
      return;
    }
    g.level = 10;
    g.layout = 0x100 | elements;
    g.raidDisks = elements * secondaryCount;
    return;
  }
  switch (primary) {
    case kRaid0: g.level = 0; return;
    case kRaid1: g.level = 1; return;
    case kSingle:
    case kConcatenated: g.level = kMdLinear; return;
    case kRaid5:
    case kRaid6: {
      g.level = primary == kRaid5 ? 5 : 6;
      // md's numbers: left-asymmetric 0, right-asymmetric 1, left-symmetric 2; RAID6's rotating ones 8 to 10.
      const bool zeroRestart = primary == kRaid5 ? qualifier == kParityZeroRestart : qualifier == 0x01;
      if (zeroRestart)
        g.layout = primary == kRaid5 ? 1 : 8;
      else if (qualifier == kParityNRestart)
        g.layout = primary == kRaid5 ? 0 : 9;
      else if (qualifier == kParityNContinue)
        g.layout = primary == kRaid5 ? 2 : 10;
      else
        sb.unsupported = levelText() + " is not read";
      return;
    }
    default: sb.unsupported = levelText() + " is not read";
  }
}

}  // namespace

std::vector<MdMemberSuperblock> FindDdfMemberships(DiskSource& disk) {
  Member member(disk);
  std::vector<MdMemberSuperblock> found;
  if (member.Sectors() < 2) return found;
  const auto anchor = member.Read(member.Sectors() - 1, 1);
  if (!anchor || !Holds(*anchor, kHeaderSignature) || std::to_integer<std::uint8_t>((*anchor)[112]) != kAnchor)
    return found;
  const auto guid = std::span(*anchor).subspan(8, kGuidBytes);
  auto header = HeaderAt(member, Be(*anchor, 96, 8), kPrimary, guid);
  if (!header) header = HeaderAt(member, Be(*anchor, 104, 8), kSecondary, guid);
  if (!header) return found;
  const std::uint64_t recordSectors = Be(header->bytes, 134, 2);
  const std::uint64_t maxElements = Be(header->bytes, 136, 2);
  if (recordSectors == 0 || 512 + maxElements * 12 > recordSectors * kSector) return found;
  const auto diskData = member.Read(header->Section(224), 1);
  if (!diskData || !Holds(*diskData, kPhysicalDiskDataSignature)) return found;
  const std::uint32_t reference = Be32(*diskData, 32);
  const auto names = VirtualDiskNames(member, *header);
  const std::uint64_t recordCount = header->SectionSectors(216) / recordSectors;
  const auto records = member.Read(header->Section(216), recordCount * recordSectors);
  if (!records) return found;
  for (std::uint64_t r = 0; r < recordCount; ++r) {
    const auto record = std::span(*records).subspan(r * recordSectors * kSector, recordSectors * kSector);
    if (!Holds(record, kConfigurationSignature)) continue;  // spare assignments and vendors' records too
    const std::uint64_t elements = Be(record, 64, 2);
    if (elements == 0 || elements > maxElements || elements > kMaxArrayMembers) continue;
    std::optional<std::uint32_t> index;
    for (std::uint32_t i = 0; i < elements && !index; ++i)
      if (Be32(record, 512 + std::size_t{i} * 4) == reference) index = i;
    if (!index) continue;
    MdMemberSuperblock sb;
    sb.version = "DDF";
    sb.arrayUuid = UuidOf(record.subspan(8, kGuidBytes));
    const auto name = names.find(std::string(reinterpret_cast<const char*>(record.data()) + 8, kGuidBytes));
    sb.name = name != names.end() && !name->second.empty() ? name->second
                                                           : "ddf-" + UuidText(sb.arrayUuid).substr(0, 8);
    SetLevel(record, static_cast<std::uint32_t>(elements), sb);
    const auto stripShift = std::to_integer<std::uint8_t>(record[66]);
    // Older writers leave the block size zero or all ones (reserved before DDF 2.0): 512 bytes.
    const std::uint64_t blockSize = Be(record, 88, 2);
    if (blockSize != 0 && blockSize != 0xffff && blockSize != kSector)
      sb.unsupported = "blocks of " + std::to_string(blockSize) + " bytes are not read";
    const bool striped = sb.geometry.level != 1 && sb.geometry.level != kMdLinear;
    sb.geometry.chunkSectors = !striped ? 0 : stripShift < 24 ? std::uint64_t{1} << stripShift : 3;
    sb.geometry.memberSectors = Be(record, 72, 8);
    sb.dataSectors = sb.geometry.memberSectors;
    sb.dataOffset = Be(record, 512 + maxElements * 4 + std::size_t{*index} * 8, 8);
    // The data ends before the metadata (where the header lies after it) and the anchor.
    const std::uint64_t limit = header->lba > sb.dataOffset ? header->lba : member.Sectors() - 1;
    if (sb.dataOffset >= limit || sb.dataSectors > limit - sb.dataOffset) continue;
    sb.superOffset = header->lba;
    sb.role = sb.geometry.level == 10
                  ? std::to_integer<std::uint32_t>(record[70]) * static_cast<std::uint32_t>(elements) + *index
                  : *index;
    if (*sb.role >= sb.geometry.raidDisks) continue;
    sb.events = Be32(header->bytes, 40);  // the container's: every member's header moves on with it
    sb.clean = true;
    found.push_back(std::move(sb));
  }
  return found;
}

}  // namespace vantrel
