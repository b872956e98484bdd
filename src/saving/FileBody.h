#pragma once
// Where a file's bytes lie: its block numbers with the file position each covers, and the
// tails kept in direct items. Gathered from the live tree (quick search) or from the item
// positions the advanced search recorded.

#include <cstdint>
#include <memory>
#include <vector>

#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/build/NodeCache.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/build/TreeSearch.h"
#include "saving/FileBlockCheck.h"

namespace vantrel {

struct BlockPointer {
  std::uint64_t position = 0;                       // file position of the block's first byte
  std::uint32_t block = 0;                          // 0 is a hole
  MisplacedBlock misplaced = MisplacedBlock::None;  // where the block lies cannot hold file data
};

struct TailBytes {
  std::uint64_t position = 0;
  std::vector<std::byte> bytes;
};

struct FileBody {
  std::vector<BlockPointer> blocks;  // in file order
  std::vector<TailBytes> tails;      // in file order
  bool itemsUnreadable = false;      // a leaf holding some of its items could not be read
};

// The block pointers that make up the first `size` bytes, in file order: where two point
// at the same position the later one wins, as it comes from a newer copy of an item.
std::vector<BlockPointer> EffectivePointers(const FileBody& body, std::uint64_t size);

// Where the bodies of a catalogue's files are found: by a tree search after a quick build,
// from the pieces each object record kept after an advanced build.
enum class BodySource { Tree, Pieces };

// Gathers file bodies of a catalogue's partition; nodes read for one file stay cached for
// the next.
class BodyCollector {
 public:
  BodyCollector(const PartitionSource& partition, const Catalogue& catalogue, BodySource source);

  // The body of the object (objectId, parentId), each block checked (FileBlockCheck).
  FileBody Collect(std::uint32_t objectId, std::uint32_t parentId);

  PartitionBlocks& Blocks() { return blocks_; }

 private:
  FileBody FromTree(std::uint32_t objectId, std::uint32_t parentId);
  FileBody FromPieces(std::uint32_t objectId, std::uint32_t parentId);
  // The bytes of a recorded piece: from the leaf read whole, or from the sectors of a
  // damaged leaf that arrived when the piece lies wholly in them; nothing otherwise.
  std::optional<ByteSpan> PieceBytes(const BodyPiece& piece);

  const Catalogue& catalogue_;
  BodySource source_;
  PartitionBlocks blocks_;
  TreeSearch search_;
  FileBlockCheck check_;
  NodeCache leaves_;
  // The last leaf that could be read only in part, for the other pieces of the same file.
  NodeCache::Node damagedLeaf_;
  std::uint32_t damagedBlock_ = 0;
  UnreadSectors damagedSectors_;
};

}  // namespace vantrel
