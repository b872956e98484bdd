#pragma once
// The active sequence of a VHDX log: the newest run of valid entries, from the tail its head
// names to that head, whose writes a host that stopped early never applied to the file.
// Replaying them gives the file as the host would have left it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantrel {

inline constexpr std::size_t kVhdxLogSector = 4096;
inline constexpr std::size_t kVhdxLogEntryHeaderBytes = 64;
inline constexpr std::size_t kVhdxLogDescriptorBytes = 32;

// CRC-32C (Castagnoli), as VHDX checksums its headers and log entries; `crc` continues one.
std::uint32_t Crc32c(std::span<const std::byte> bytes, std::uint32_t crc = 0);

// True when the 4 bytes at `at` are the signature.
bool VhdxSigned(std::span<const std::byte> bytes, std::size_t at, const char* signature);

// One write of a log entry: a 4 KiB sector of data, or a stretch of zeros (data empty).
struct VhdxLogWrite {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::vector<std::byte> data;
};

struct VhdxLogReplay {
  std::vector<VhdxLogWrite> writes;     // in the order they are replayed, tail entry first
  std::uint64_t flushedFileOffset = 0;  // the file was at least this long when the head was written
  std::uint64_t lastFileOffset = 0;     // every structure of the file lies before this
};

// The active sequence of the log (the whole log region, a ring of 4 KiB sectors) among the
// entries that carry the header's log GUID; nothing when no valid sequence is there.
std::optional<VhdxLogReplay> ActiveSequence(std::span<const std::byte> log, const std::array<std::byte, 16>& guid);

}  // namespace vantrel
