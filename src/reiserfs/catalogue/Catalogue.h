#pragma once
// The catalogue of one partition: every folder and file a build found, and the working
// records of the objects behind them. Kept compact, for volumes of millions of files:
// fixed-size records in chunked lists, names in one store per list, the body pieces of
// all objects in one flat list, and an object index of 32-bit slots sized for the count.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ChunkedVector.h"
#include "base/LargePageAllocator.h"
#include "base/NameStore.h"
#include "reiserfs/format/PartitionJournal.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/format/StatData.h"

namespace vantrel {

inline constexpr std::uint32_t kRootFolderId = 2;
// The "Lost" folder, which holds the folders whose parent was not found.
inline constexpr std::uint32_t kLostFolderId = 0x0FFFFFFF;
inline constexpr const char* kLostFolderName = "Lost";
// Time, size and mode of an advanced-search record before its stat data is seen.
inline constexpr std::uint32_t kNotSeen = 0xFFFFFFFF;

// The type code of an entry the live tree no longer reaches (an advanced build's, or a
// recovery log's): the saving options' deleted filter tests it.
inline constexpr std::uint8_t kDeletedTypeCode = 8;

// A folder or file of the catalogue. Its name lies in the catalogue's name store:
// Catalogue::Name gives it.
struct CatalogueEntry {
  std::uint32_t objectId = 0;
  // The directory id of the object's key, which also finds the object's items again; 2 for
  // the root folder's entries, 0 for "Lost", kLostFolderId for a folder whose parent was
  // not found. Usually the folder the object was created in, but not always the one that
  // holds it: the file system gives new objects an ancestor's id as their directory id
  // where its block group has room ("packing"), and moved objects keep theirs.
  std::uint32_t parentId = 0;
  // The object id of the folder whose entry names the object (2 for the root folder), 0
  // when no entry was seen. The views list the entry there (see FolderLayout).
  std::uint32_t folderId = 0;
  std::uint32_t modificationTime = 0;
  std::uint32_t mode = kNotSeen;  // the stat data mode from the builds; kNotSeen when not known
  // Owner, group, link count, access and change times and device number from the stat data
  // (zeros from recovery logs, which do not hold them, and before the stat data is seen).
  StatDetails details;
  NameRef name;                   // as found on disk (at most 511 bytes), or "FOUND" + a number
  std::uint8_t typeCode = 0;      // the builds: 0, or kDeletedTypeCode; 1 to 8 from recovery logs
  std::uint64_t size = 0;         // always 0 for folders

  EntryKind Kind() const { return mode == kNotSeen ? EntryKind::Unknown : KindOfMode(mode); }
  // The details were read from a stat data (whose link count is never 0 for an object the
  // file system kept), not left empty by a recovery log.
  bool HasStatDetails() const { return mode != kNotSeen && details.linkCount != 0; }
};

// Where one indirect (or direct) item of an object lies on the partition.
struct BodyPiece {
  std::uint32_t block = 0;     // the leaf block holding the item
  std::uint32_t location = 0;  // byte offset of the item body in that block
  std::uint32_t length = 0;    // item length in bytes
  std::uint64_t offset = 0;    // the item key's offset: 1 + the file position of its first byte
};

// An object seen by a build. Its name lies in the object list's name store, its pieces in
// the list's piece lists (ObjectList::Name, Pieces, TailPieces).
struct ObjectRecord {
  std::uint32_t objectId = 0;
  std::uint32_t dirId = 0;
  std::uint32_t folderId = 0;  // the folder whose entry named the object last; 0 if none did
  std::uint32_t modificationTime = 0;
  std::uint32_t mode = 0;  // the 16-bit stat data mode, zero-extended
  StatDetails details{};
  NameRef name{};
  std::uint32_t pieceCount = 0;
  std::uint64_t size = 0;
  std::uint32_t firstPiece = 0;
  std::uint32_t firstTailPiece = 0;
  std::uint32_t tailPieceCount = 0;
  std::uint32_t place = 0;  // the record's index in its list, set by ObjectList::Append
};

// Object records in the order they were created, with the first record of each
// (objectId, dirId) found in constant time. Pieces are added to a record in any order
// during a build and are found through Pieces and TailPieces once GroupPieces has put
// each record's pieces side by side (in the order they were added).
class ObjectList {
 public:
  ObjectRecord* Find(std::uint32_t objectId, std::uint32_t dirId);
  const ObjectRecord* Find(std::uint32_t objectId, std::uint32_t dirId) const;
  // Starts bringing the index slot of the ids into the processor's cache, for a Find of
  // them soon after: a build that knows its next look-ups asks for them all first, and
  // their fetches from memory overlap instead of following one another.
  void Prefetch(std::uint32_t objectId, std::uint32_t dirId) const;
  // Appends the record under the name given (its own name field is set here).
  ObjectRecord& Append(ObjectRecord record, std::string_view name);
  void Clear();

  std::string_view Name(const ObjectRecord& record) const { return names_.View(record.name); }
  void Rename(ObjectRecord& record, std::string_view name);

  // Pieces of indirect items (body) and of direct items (tail).
  void AddPiece(const ObjectRecord& record, const BodyPiece& piece) { Stage(record, piece, false); }
  void AddTailPiece(const ObjectRecord& record, const BodyPiece& piece) { Stage(record, piece, true); }
  void GroupPieces();
  std::span<const BodyPiece> Pieces(const ObjectRecord& record) const;
  std::span<const BodyPiece> TailPieces(const ObjectRecord& record) const;
  // The record's grouped pieces, for filling in what was read after them.
  std::span<BodyPiece> PiecesToFill(const ObjectRecord& record);

  std::size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.size() == 0; }
  ObjectRecord& operator[](std::size_t i) { return records_[i]; }
  const ObjectRecord& operator[](std::size_t i) const { return records_[i]; }
  const ChunkedVector<ObjectRecord>& Records() const { return records_; }
  std::size_t IndexOf(const ObjectRecord& record) const;

  std::size_t MemoryBytes() const;

 private:
  struct StagedPiece {
    std::uint32_t record;
    bool tail;
    BodyPiece piece;
  };
  void Stage(const ObjectRecord& record, const BodyPiece& piece, bool tail);
  static constexpr std::uint64_t kTagBits = 0xFFFFFFFF00000000ull;
  static std::size_t RecordOf(std::uint64_t slot) { return static_cast<std::uint32_t>(slot) - 1; }
  // The index slot holding (or free for) the first record of the ids (whose hash is given).
  std::size_t SlotOf(std::uint64_t hash, std::uint32_t objectId, std::uint32_t dirId) const;
  std::size_t SlotOf(std::uint32_t objectId, std::uint32_t dirId) const;
  // Puts the record into the index unless an earlier record of its ids is there.
  void Index(std::size_t record);
  void GrowIndex();

  ChunkedVector<ObjectRecord> records_;
  NameStore names_;
  // Open addressing: 1 + the record's index in the low 32 bits and the high half of its
  // ids' hash above them, so that most probes of other ids end without fetching their
  // record (at millions of objects, a fetch from memory each); 0 for an empty slot. A power
  // of two in size, at most half full.
  std::vector<std::uint64_t, LargePageAllocator<std::uint64_t>> index_;
  std::vector<BodyPiece, LargePageAllocator<BodyPiece>> pieces_;
  std::vector<StagedPiece, LargePageAllocator<StagedPiece>> staged_;
};

// A list of folder or file entries.
using EntryList = ChunkedVector<CatalogueEntry>;

struct Catalogue {
  EntryList folderList;
  EntryList fileList;
  ObjectList objectList;
  ReiserSuperblock currentSuperblock;
  NameStore names;  // the names of the entries of both lists

  std::uint32_t folderCount = 0;    // folders in folderList, "Lost" included
  std::uint32_t fileCount = 0;      // files in fileList
  std::uint32_t statDataCount = 0;  // quick search: stat data items delivered
  std::uint32_t objectCount = 0;    // advanced search: object records created
  // The build was stopped before it was done: the catalogue holds what it had found by
  // then, and lacks the rest.
  bool stopped = false;
  // What the build made of the journal; its blocks are read through the copies it replayed.
  JournalState journal;
  // Advanced build: the blocks in which it found leaf items, in block order (the journal's
  // copies left out). A file whose data would lie on one is not called whole.
  std::vector<std::uint32_t> leafBlocks;

  std::string_view Name(const CatalogueEntry& entry) const { return names.View(entry.name); }
  // Frees the lists and the object records and resets the build counters.
  void Clear();
  // The memory the lists, names and records hold.
  std::size_t MemoryBytes() const;
};

// Both return the appended entry, which stays where it is while the lists grow.
CatalogueEntry& AppendFolder(Catalogue& catalogue, std::string_view name, std::uint32_t objectId,
                             std::uint32_t parentId, std::uint32_t modificationTime, std::uint64_t size,
                             std::uint8_t typeCode);
CatalogueEntry& AppendFile(Catalogue& catalogue, std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                           std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode);

}  // namespace vantrel
