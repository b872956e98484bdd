#pragma once
// The catalogue of one partition: every folder and file a build found, and the working
// records of the objects behind them.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "reiserfs/ReiserSuperblock.h"

namespace vantrel {

inline constexpr std::uint32_t kRootFolderId = 2;
// The "Lost" folder, which holds the folders whose parent was not found.
inline constexpr std::uint32_t kLostFolderId = 0x0FFFFFFF;
inline constexpr const char* kLostFolderName = "Lost";
// Time, size and mode of an advanced-search record before its stat data is seen.
inline constexpr std::uint32_t kNotSeen = 0xFFFFFFFF;

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
  std::string name;  // as found on disk (at most 511 bytes), or "FOUND" + a number
  std::uint32_t modificationTime = 0;
  std::uint64_t size = 0;  // always 0 for folders
  std::uint8_t typeCode = 0;  // 0 from the builds; 1 to 8 only from recovery logs
  std::uint32_t mode = kNotSeen;  // the stat data mode from the builds; kNotSeen when not known
};

// Where one indirect (or direct) item of an object lies on the partition.
struct BodyPiece {
  std::uint32_t block = 0;     // the leaf block holding the item
  std::uint32_t location = 0;  // byte offset of the item body in that block
  std::uint32_t length = 0;    // item length in bytes
  std::uint64_t offset = 0;    // the item key's offset: 1 + the file position of its first byte
};

struct ObjectRecord {
  std::uint32_t objectId = 0;
  std::uint32_t dirId = 0;
  std::uint32_t folderId = 0;  // the folder whose entry named the object last; 0 if none did
  std::string name;
  std::uint32_t modificationTime = 0;
  std::uint64_t size = 0;
  std::uint32_t mode = 0;  // the 16-bit stat data mode, zero-extended
  std::vector<BodyPiece> pieces{};    // advanced search: the object's indirect items, in the order found
  std::vector<BodyPiece> tailPieces{};  // advanced search: its direct items, in the order found
};

// Object records in the order they were created, with the first record of each
// (objectId, dirId) found in constant time.
class ObjectList {
 public:
  ObjectRecord* Find(std::uint32_t objectId, std::uint32_t dirId);
  const ObjectRecord* Find(std::uint32_t objectId, std::uint32_t dirId) const;
  ObjectRecord& Append(ObjectRecord record);
  void Clear();

  std::size_t Size() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }
  ObjectRecord& operator[](std::size_t i) { return records_[i]; }
  const ObjectRecord& operator[](std::size_t i) const { return records_[i]; }
  const std::vector<ObjectRecord>& Records() const { return records_; }

 private:
  static std::uint64_t Key(std::uint32_t objectId, std::uint32_t dirId) {
    return (std::uint64_t{objectId} << 32) | dirId;
  }
  std::vector<ObjectRecord> records_;
  std::unordered_map<std::uint64_t, std::size_t> first_;
};

struct Catalogue {
  std::vector<CatalogueEntry> folderList;
  std::vector<CatalogueEntry> fileList;
  ObjectList objectList;
  ReiserSuperblock currentSuperblock;

  std::uint32_t folderCount = 0;    // folders in folderList, "Lost" included
  std::uint32_t fileCount = 0;      // files in fileList
  std::uint32_t statDataCount = 0;  // quick search: stat data items delivered
  std::uint32_t objectCount = 0;    // advanced search: object records created

  // Frees the lists and the object records and resets the build counters.
  void Clear();
};

// Both return the appended entry.
CatalogueEntry& AppendFolder(Catalogue& catalogue, std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                  std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode);
CatalogueEntry& AppendFile(Catalogue& catalogue, std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode);

}  // namespace vantrel
