#pragma once
// The log of a VHDX whose host stopped before it wrote the log out: writes that the log
// holds and the file does not. They are not replayed here; the disk is read as it lies in
// the file, and the user is told which stretches of the file the log would have changed.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr std::size_t kVhdxHeaderBytes = 4096;
inline constexpr std::uint64_t kVhdxFirstHeader = 64 << 10;
inline constexpr std::uint64_t kVhdxSecondHeader = 128 << 10;
// Logs are 1 MiB as a rule; a larger one is read this far.
inline constexpr std::uint64_t kVhdxMaxLogBytes = 64 << 20;

// Where the current header (a valid checksum, the higher sequence number) puts its log, and
// the GUID its entries carry; nothing when it names none.
struct VhdxLogPlace {
  std::uint64_t offset = 0;
  std::uint64_t bytes = 0;
  std::array<std::byte, 16> guid{};
};
std::optional<VhdxLogPlace> CurrentLog(std::span<const std::byte> firstHeader, std::span<const std::byte> secondHeader);

// A stretch of the file that a log entry writes (data) or zeroes.
struct VhdxFileStretch {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

// The writes of the log's valid entries (their signature, checksum and GUID right), in the
// order they lie in the log.
std::vector<VhdxFileStretch> PendingWrites(std::span<const std::byte> log, const std::array<std::byte, 16>& guid);

// For a VHDX file: the warning to give when its log holds writes, or nothing.
std::optional<std::string> VhdxPendingLogWarning(const std::string& path);

// CRC-32C (Castagnoli), as VHDX checksums its headers and log entries.
std::uint32_t Crc32c(std::span<const std::byte> bytes);

}  // namespace vantrel
