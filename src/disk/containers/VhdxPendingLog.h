#pragma once
// The log of a VHDX whose host stopped before it wrote the log out: writes that the log
// holds and the file does not. Its active sequence is replayed in memory, never on the file
// (`VhdxReplayedFile`); where no valid sequence is left, the disk is read as it lies in the
// file, and the user is told which stretches of the file the damaged log would have changed.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "disk/containers/VhdxLogSequence.h"

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

// The writes that entries with the log's signature and GUID name, whether or not the entry
// holds together, in the order they lie in the log: what a log too damaged to replay touches.
std::vector<VhdxFileStretch> LoggedWrites(std::span<const std::byte> log, const std::array<std::byte, 16>& guid);

// What a VHDX file's log holds: the writes to replay (none where no valid sequence is left)
// and the stretches of the file they change, or that the damaged entries would; both empty
// when the log is.
struct VhdxPendingLog {
  std::optional<VhdxLogReplay> replay;
  std::vector<VhdxFileStretch> writes;
};
VhdxPendingLog ReadPendingLog(const std::string& path);

// The warning row for a log with writes: replayed in memory, or read as the file lies.
std::string PendingLogWarning(const std::vector<VhdxFileStretch>& writes, bool replayed);

}  // namespace vantrel
