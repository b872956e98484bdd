#pragma once
// The recovery log file: the disk a catalogue was built on, the partitions found on that
// disk, the chosen partition's superblock and the catalogue, as one plain sequence of
// little-endian fields without padding or checksum.
//
// What the plain fields cannot hold travels in an extension after the last file record,
// where a reader of the plain format never looks: the folder that names each entry
// (folderId), sizes and sector numbers above 32 bits, the file positions of the body
// pieces and the direct-item pieces of the advanced search, whether the catalogue's
// build was stopped before it was done (an empty "STOP" section), and how many of the
// journal's transactions it replayed in memory (a "JRNL" section, only when it did). The extension is the text
// "VTRLEXT1" followed by sections (a 4-byte tag, a u32 payload length, the payload), the
// last one "END." and empty; a log without it loads as well, with folderId = parentId and
// sizes of 32 bits.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/LittleEndian.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

inline constexpr std::string_view kRecoveryLogHeader = "Korvane Vantrel ReiserFS 12.04.06";
// Names longer than this are cut when written and refused when read.
inline constexpr std::size_t kMaxLoggedNameLength = 511;

struct LoggedPartition {
  std::uint64_t size = 0;   // sectors
  std::uint64_t start = 0;  // absolute start sector
};

// The fields before the partition list.
struct RecoveryLogHead {
  std::string diskModel;
  std::uint8_t recoveryMode = 0;     // 1 Quick Search, 2 Advanced Search
  std::uint16_t fileSearchType = 0;  // 1 quick, 2 advanced file/folder search (the object list is stored)
  std::uint8_t diskIndex = 0;
  LoggedPartition selected;          // the partition the catalogue was built from
};

struct RecoveryLog {
  RecoveryLogHead head;
  std::vector<LoggedPartition> partitions;  // as many as the file holds (at most 255)
  // The superblock, the object list (advanced search only), folderList and fileList; the
  // counters are left at 0.
  Catalogue catalogue;
};

// Writes the file to out while walking the catalogue, holding only a small buffer. The
// object list is written only when head.fileSearchType is 2; at most 255 partitions are
// written. False when out failed.
bool WriteRecoveryLog(std::ostream& out, const RecoveryLogHead& head, std::span<const LoggedPartition> partitions,
                      const Catalogue& catalogue);
// The same file as one string.
std::string EncodeRecoveryLog(const RecoveryLogHead& head, std::span<const LoggedPartition> partitions,
                              const Catalogue& catalogue);

// The disk model text of a log; nothing when the file is too short to hold it.
std::optional<std::string> DecodeLogDiskModel(ByteSpan file);

// Reads the whole file, trusting nothing in it: every count and length is checked against
// what remains of the file, record lengths must be at least 17 and names at most 511 bytes,
// the recovery mode and the search type must be 1 or 2, and an extension must be whole and
// agree with the plain fields. Nothing when the file is not such a log.
std::optional<RecoveryLog> DecodeRecoveryLog(ByteSpan file);

// A log's catalogue with the counters a loaded catalogue has: its folders and files
// counted, no build counters.
Catalogue LoadedCatalogue(Catalogue catalogue);

}  // namespace vantrel
