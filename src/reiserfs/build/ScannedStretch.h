#pragma once
// What a scan of every block finds in one stretch of blocks: the items of the blocks that
// look like leaves, decoded and in the order found, each with where it lies. Made apart
// from the build that uses it (on another thread, see StretchScanAhead), so it holds copies:
// directory entry names lie in the stretch's own name text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/LittleEndian.h"
#include "disk/SectorReader.h"
#include "reiserfs/format/StatData.h"

namespace vantrel {

enum class ScannedKind : std::uint8_t { StatData, DirEntry, Indirect, Direct };

struct ScannedItem {
  ScannedKind kind = ScannedKind::StatData;
  std::uint16_t nameLength = 0;  // a directory entry's name
  // The entry's ids for a directory entry; the item key's otherwise.
  std::uint32_t objectId = 0;
  std::uint32_t dirId = 0;
  std::uint32_t keyObjectId = 0;  // the item key's object id: a directory entry's folder
  std::uint32_t block = 0;        // the block holding the item
  std::uint32_t location = 0;     // the item body's offset in that block
  // Stat data: its mode. A directory entry: where its name starts in the names.
  // Indirect and direct items: the body's length.
  std::uint32_t value = 0;
  std::uint32_t modificationTime = 0;  // stat data
  StatDetails details;                 // stat data
  std::uint64_t offset = 0;            // stat data: the size; indirect and direct: the key's offset
};

struct ScannedStretch {
  std::uint64_t firstBlock = 0;
  std::uint32_t blockCount = 0;
  // False when the stretch could not be looked at where it lies (not mappable, or a read
  // that failed): its items are then not here, and the build reads it block by block.
  bool scanned = false;
  std::optional<std::uint32_t> lastNodeBlock;  // the last block that looked like a node
  std::vector<ScannedItem> items;
  std::string names;

  std::string_view Name(const ScannedItem& item) const {
    return std::string_view(names).substr(item.value, item.nameLength);
  }
  // Empties it for the next stretch, keeping its memory.
  void Reset(std::uint64_t first, std::uint32_t count);
};

// Adds the items of a block that looks like a leaf to the stretch (directory entries but
// "." and ".." one by one; stat data items of 44 or 32 bytes; indirect and direct items)
// and notes a block that looks like a node (level 5 or below). For a block read in part,
// unread names the sectors that did not arrive: the node header must lie in sectors that
// did, and an item is taken only when its header and its body do.
void ScanBlock(ByteSpan block, std::uint32_t blockNumber, const UnreadSectors* unread, ScannedStretch& into);

}  // namespace vantrel
