#include "disk/containers/VhdxPendingLog.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "base/LittleEndian.h"

namespace vantrel {

namespace {

constexpr std::size_t kEntryHeaderBytes = kVhdxLogEntryHeaderBytes;
constexpr std::size_t kDescriptorBytes = kVhdxLogDescriptorBytes;
constexpr std::size_t kWritesShown = 8;

// True when the checksum at offset 4 matches the bytes with it taken as zero.
bool ChecksumHolds(std::span<const std::byte> bytes) {
  std::vector<std::byte> copy(bytes.begin(), bytes.end());
  std::fill_n(copy.begin() + 4, 4, std::byte{0});
  return Crc32c(copy) == ReadU32(bytes, 4);
}

std::vector<std::byte> ReadAt(std::ifstream& file, std::uint64_t offset, std::uint64_t bytes) {
  std::vector<std::byte> data(static_cast<std::size_t>(bytes));
  file.clear();
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return data;
}

}  // namespace

std::optional<VhdxLogPlace> CurrentLog(std::span<const std::byte> firstHeader,
                                       std::span<const std::byte> secondHeader) {
  std::span<const std::byte> current;
  std::uint64_t sequence = 0;
  for (const auto header : {firstHeader, secondHeader}) {
    if (header.size() < kVhdxHeaderBytes || !VhdxSigned(header, 0, "head")) continue;
    const auto bytes = header.first(kVhdxHeaderBytes);
    if (!ChecksumHolds(bytes)) continue;
    if (current.empty() || ReadU64(bytes, 8) > sequence) {
      current = bytes;
      sequence = ReadU64(bytes, 8);
    }
  }
  if (current.empty()) return std::nullopt;
  VhdxLogPlace place;
  std::copy_n(current.begin() + 48, place.guid.size(), place.guid.begin());
  if (std::all_of(place.guid.begin(), place.guid.end(), [](std::byte b) { return b == std::byte{0}; }))
    return std::nullopt;
  place.bytes = ReadU32(current, 68);
  place.offset = ReadU64(current, 72);
  return place;
}

std::vector<VhdxFileStretch> LoggedWrites(std::span<const std::byte> log, const std::array<std::byte, 16>& guid) {
  std::vector<VhdxFileStretch> writes;
  for (std::size_t at = 0; at + kVhdxLogSector <= log.size(); at += kVhdxLogSector) {
    const auto rest = log.subspan(at);
    if (!VhdxSigned(rest, 0, "loge") || !std::equal(guid.begin(), guid.end(), rest.begin() + 32)) continue;
    const std::uint64_t descriptors = std::min<std::uint64_t>(ReadU32(rest, 24),
                                                              (rest.size() - kEntryHeaderBytes) / kDescriptorBytes);
    for (std::uint64_t d = 0; d < descriptors; ++d) {
      const auto descriptor = rest.subspan(kEntryHeaderBytes + d * kDescriptorBytes, kDescriptorBytes);
      if (VhdxSigned(descriptor, 0, "zero"))
        writes.push_back({ReadU64(descriptor, 16), ReadU64(descriptor, 8)});
      else if (VhdxSigned(descriptor, 0, "desc"))
        writes.push_back({ReadU64(descriptor, 16), kVhdxLogSector});
    }
  }
  return writes;
}

VhdxPendingLog ReadPendingLog(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!VhdxSigned(ReadAt(file, 0, 8), 0, "vhdx")) return {};
  const auto place = CurrentLog(ReadAt(file, kVhdxFirstHeader, kVhdxHeaderBytes),
                                ReadAt(file, kVhdxSecondHeader, kVhdxHeaderBytes));
  if (!place) return {};
  const std::vector<std::byte> log = ReadAt(file, place->offset, std::min(place->bytes, kVhdxMaxLogBytes));
  // A log cut short by the file's end, or longer than is read, is not replayed.
  std::optional<VhdxLogReplay> replay = log.size() == place->bytes ? ActiveSequence(log, place->guid)
                                                                   : std::optional<VhdxLogReplay>{};
  std::vector<VhdxFileStretch> writes;
  if (replay)
    for (const VhdxLogWrite& write : replay->writes) writes.push_back({write.offset, write.length});
  else
    writes = LoggedWrites(log, place->guid);
  if (writes.empty()) return {};
  return {std::move(replay), std::move(writes)};
}

std::string PendingLogWarning(const std::vector<VhdxFileStretch>& writes, bool replayed) {
  std::string text = "its log holds " + std::to_string(writes.size()) +
                     " write(s) never applied to the file (its host stopped first); " +
                     (replayed ? "they are replayed in memory, never on the file: file bytes"
                               : "they cannot be replayed (their entries are damaged, or what they write cannot "
                                 "be read), and what they change reads as it lies in the file: file bytes");
  for (std::size_t i = 0; i < writes.size() && i < kWritesShown; ++i)
    text += (i > 0 ? ", " : " ") + std::to_string(writes[i].offset) + "+" + std::to_string(writes[i].length);
  if (writes.size() > kWritesShown) text += ", ...";
  return text;
}

}  // namespace vantrel
