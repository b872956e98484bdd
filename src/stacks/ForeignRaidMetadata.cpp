#include "stacks/ForeignRaidMetadata.h"

#include <array>
#include <cstring>

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::array<unsigned char, 4> kDdfAnchor = {0xde, 0x11, 0xde, 0x11};  // big-endian, as DDF is
constexpr const char* kImsmSignature = "Intel Raid ISM Cfg Sig. ";

}  // namespace

std::optional<std::string> ForeignRaidContainer(DiskSource& disk) {
  const auto size = disk.Size();
  if (!size || *size < 2 * kSectorBytes) return std::nullopt;
  std::array<std::byte, 2 * kSectorBytes> tail{};
  if (disk.Read(*size / kSectorBytes * kSectorBytes - tail.size(), tail) != ReadOutcome::Ok) return std::nullopt;
  if (std::memcmp(tail.data() + kSectorBytes, kDdfAnchor.data(), kDdfAnchor.size()) == 0) return "a DDF container";
  if (std::memcmp(tail.data(), kImsmSignature, std::strlen(kImsmSignature)) == 0)
    return "an Intel Matrix (IMSM) container";
  return std::nullopt;
}

}  // namespace vantrel
