// libFuzzer target: any bytes as a small DDF member (its last 64 sectors), with the anchor's
// primary header placed on the member and the CRC-32s of the anchor, that header, and the
// sections it names made to hold, so that every record is looked at. Every membership found
// has its role among the array's members, its data on the member before the metadata, and a
// geometry whose chunk map stays on the members.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzDisk.h"
#include "stacks/DdfMembership.h"

using namespace vantrel;

namespace {

constexpr std::uint64_t kMemberSectors = 64;

std::uint64_t Be(const std::vector<std::byte>& bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | std::to_integer<std::uint64_t>(bytes[at + i]);
  return value;
}

void PutBe(std::vector<std::byte>& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::byte>(value >> (8 * (width - 1 - i)));
}

// Makes the CRC of sectors [first, first + count) hold, where they lie on the member.
void MakeCrcHold(std::vector<std::byte>& member, std::uint64_t first, std::uint64_t count) {
  if (count == 0 || first >= kMemberSectors || count > kMemberSectors - first) return;
  const std::size_t at = first * 512;
  PutBe(member, at + 4, DdfCrc(std::span(member).subspan(at, count * 512)), 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> bytes(kMemberSectors * 512);
  std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
  const std::size_t anchor = (kMemberSectors - 1) * 512;
  const std::uint64_t primary = Be(bytes, anchor + 96, 8) % (kMemberSectors - 1);
  PutBe(bytes, anchor + 96, primary, 8);
  MakeCrcHold(bytes, kMemberSectors - 1, 1);
  const std::size_t header = primary * 512;
  const std::uint64_t recordSectors = Be(bytes, header + 134, 2);
  for (const std::size_t field : {208u, 224u}) MakeCrcHold(bytes, primary + Be(bytes, header + field, 4), 1);
  if (recordSectors > 0)
    for (std::uint64_t r = 0; r < 8; ++r)
      MakeCrcHold(bytes, primary + Be(bytes, header + 216, 4) + r * recordSectors, recordSectors);
  MakeCrcHold(bytes, primary, 1);
  fuzz::PatchedDiskSource member(std::move(bytes));
  for (const MdMemberSuperblock& sb : FindDdfMemberships(member)) {
    const MdGeometry& g = sb.geometry;
    if (!sb.role || *sb.role >= g.raidDisks || g.raidDisks > kMaxArrayMembers * 255) std::abort();
    if (sb.dataOffset + sb.dataSectors > kMemberSectors - 1) std::abort();
    if (GeometryProblem(g)) continue;
    const std::uint64_t sectors = ArraySectors(g);
    for (const std::uint64_t sector : {std::uint64_t{0}, sectors / 2, sectors > 0 ? sectors - 1 : 0})
      if (sector < sectors)
        for (const MemberPlace& place : CopiesOf(g, sector))
          if (place.role >= g.raidDisks || place.sector >= g.memberSectors) std::abort();
  }
  return 0;
}
