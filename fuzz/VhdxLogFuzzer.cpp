// libFuzzer target: any bytes as the two headers and the log of a VHDX, with the headers'
// checksums made to hold so that the log they name is looked at; the first entry's checksum
// is made to hold too. The active sequence is looked for (its writes are 4 KiB sectors of
// data or stretches of zeros, no more of them than the log has descriptors), and the writes
// of the entries that carry the GUID are listed.

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
  const auto guid = place ? place->guid : std::array<std::byte, 16>{};
  if (LoggedWrites(log, guid).size() > log.size() / kVhdxLogDescriptorBytes) std::abort();
  if (const auto replay = ActiveSequence(log, guid)) {
    if (replay->writes.size() > log.size() / kVhdxLogDescriptorBytes) std::abort();
    for (const VhdxLogWrite& write : replay->writes)
      if (!write.data.empty() && write.data.size() != kVhdxLogSector) std::abort();
  }
  return 0;
}
