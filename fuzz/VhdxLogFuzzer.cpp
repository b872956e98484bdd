// libFuzzer target: any bytes as the two headers and the log of a VHDX, with the headers'
// checksums made to hold so that the log they name is looked at; every entry whose checksum
// holds (the first one's is made to) is walked. Writes found lie within what the log says.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/LittleEndian.h"
#include "disk/containers/VhdxPendingLog.h"

using namespace vantrel;

namespace {

void MakeChecksumHold(std::span<std::byte> bytes) {
  WriteLittleEndian<std::uint32_t>(bytes, 4, 0);
  WriteLittleEndian<std::uint32_t>(bytes, 4, Crc32c(bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::byte> bytes(2 * kVhdxHeaderBytes, std::byte{0});
  std::copy_n(reinterpret_cast<const std::byte*>(data), std::min(size, bytes.size()), bytes.begin());
  const auto first = std::span(bytes).first(kVhdxHeaderBytes);
  const auto second = std::span(bytes).subspan(kVhdxHeaderBytes);
  MakeChecksumHold(first);
  MakeChecksumHold(second);
  const auto place = CurrentLog(first, second);
  std::vector<std::byte> log;
  if (size > bytes.size())
    log.assign(reinterpret_cast<const std::byte*>(data) + bytes.size(),
               reinterpret_cast<const std::byte*>(data) + size);
  const std::uint32_t length = log.size() >= 64 ? ReadU32(log, 8) : 0;
  if (length >= 64 && length <= log.size()) MakeChecksumHold(std::span(log).first(length));
  const auto writes = PendingWrites(log, place ? place->guid : std::array<std::byte, 16>{});
  if (writes.size() > log.size() / 32) std::abort();
  return 0;
}
