// libFuzzer target: any bytes as an md member's superblock, at the place of each version
// on a small member, with its checksum made to hold so that every field is looked at. A
// superblock accepted gives a geometry whose chunk map stays on the members.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzDisk.h"
#include "stacks/MdSuperblock.h"

using namespace vantrel;

namespace {

constexpr std::size_t kBlockBytes = 4096;
constexpr std::uint64_t kMemberSectors = 2048;  // 1 MiB

// Sets the checksum word of a 1.x superblock (and a 0.90 one in either byte order).
void MakeChecksumsHold(std::vector<std::byte>& block) {
  const std::size_t bytes = std::min<std::size_t>(256 + std::size_t{ReadU32(block, 220)} * 2, kBlockBytes);
  std::uint64_t sum = 0;
  std::size_t at = 0;
  for (; at + 4 <= bytes; at += 4)
    if (at != 216) sum += ReadU32(block, at);
  if (at < bytes) sum += ReadU16(block, at);
  WriteLittleEndian<std::uint32_t>(block, 216, static_cast<std::uint32_t>((sum & 0xffffffff) + (sum >> 32)));
  if (ReadU32(block, 0) == 0xa92b4efc && ReadU32(block, 4) == 0) {
    std::uint64_t old = 0;
    for (std::size_t word = 0; word < kBlockBytes / 4; ++word)
      if (word != 38) old += ReadU32(block, word * 4);
    WriteLittleEndian<std::uint32_t>(block, 38 * 4, static_cast<std::uint32_t>((old & 0xffffffff) + (old >> 32)));
  }
}

void CheckGeometry(const MdMemberSuperblock& sb) {
  const MdGeometry& g = sb.geometry;
  if (sb.dataOffset + g.memberSectors > kMemberSectors) std::abort();
  if (sb.role && *sb.role >= g.raidDisks) std::abort();
  if (GeometryProblem(g)) return;
  const std::uint64_t size = ArraySectors(g);
  for (const std::uint64_t sector : {std::uint64_t{0}, size / 3, size > 0 ? size - 1 : 0}) {
    if (sector >= size) continue;
    for (const MemberPlace& place : CopiesOf(g, sector))
      if (place.role >= g.raidDisks || place.sector >= g.memberSectors) std::abort();
    if (g.level == 4 || g.level == 5 || g.level == 6) {
      const ParityRowRoles roles = RowRoles(g, sector / g.chunkSectors);
      if (roles.p >= g.raidDisks || roles.syndromeOrder.size() != roles.dataRoles.size()) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> block(kBlockBytes);
  std::memcpy(block.data(), data, std::min(size, kBlockBytes));
  MakeChecksumsHold(block);
  static fuzz::PatchedDiskSource member{std::vector<std::byte>(kMemberSectors * 512)};
  for (const std::uint64_t place : {std::uint64_t{0}, std::uint64_t{8}, kMemberSectors - 16, kMemberSectors - 128}) {
    member.Patch(place * 512, block);
    if (const auto sb = FindMdSuperblock(member)) CheckGeometry(*sb);
    member.Restore();
  }
  return 0;
}
