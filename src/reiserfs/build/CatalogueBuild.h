#pragma once
// What the quick and the advanced catalogue builds share: the partition they read, the
// start (an empty catalogue holding only "Lost" and the partition's superblock), the
// conversion of an object record into a catalogue entry, and the lost-folder pass that
// ends every build.

#include <cstdint>
#include <string_view>

#include "disk/DiskReader.h"
#include "reiserfs/build/BuildStatus.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

// One partition of one disk, with the superblock that says how to read it.
struct PartitionSource {
  DiskReader disk;
  std::uint64_t startSector = 0;
  ReiserSuperblock superblock;  // as it lies in place
  JournalOptions journal{};
};

// The superblock at start + 128, decoded whatever the read reports: one that could not be
// read leaves a block count or block size of 0, and then no block is read.
ReiserSuperblock ReadPartitionSuperblock(const DiskReader& disk, std::uint64_t startSector);

// A catalogue holding only "Lost", with the partition's journal read (replayed in memory
// unless asked not to) and its superblock as the replay leaves it.
Catalogue BeginCatalogue(const PartitionSource& partition);

// A folder entry when the mode has the folder bit, else a file entry; parentId is the
// record's dirId, folderId the folder whose entry named it. The record is one of the
// catalogue's own object list. Returns the entry made.
CatalogueEntry& ConvertObject(Catalogue& catalogue, BuildStatus& status, const ObjectRecord& record);
// The same under another of the object's names, in the folder whose entry gave it: a hard
// link's.
CatalogueEntry& ConvertObjectNamed(Catalogue& catalogue, BuildStatus& status, const ObjectRecord& record,
                                   std::string_view name, std::uint32_t folderId);

// Hands every folder whose parent folder is not in the catalogue to "Lost" (parentId
// kLostFolderId). Files keep their parentId.
void LostFolderPass(Catalogue& catalogue, BuildStatus& status);

// The end of every build: the status handed over, the sink told, the lost-folder pass.
void FinishCatalogue(Catalogue& catalogue, BuildStatus& status, BuildStatusSink& sink);

}  // namespace vantrel
