#include "reiserfs/build/CatalogueBuild.h"

#include <array>
#include <unordered_set>

#include "reiserfs/format/ItemDispatch.h"

namespace vantrel {

ReiserSuperblock ReadPartitionSuperblock(const DiskReader& disk, std::uint64_t startSector) {
  std::array<std::byte, 2 * kSectorSize> buffer{};
  disk.ReadSectors(startSector + kSuperblockSectorOffset, 1, buffer);
  return ReiserSuperblock::Decode(buffer).value_or(ReiserSuperblock{});
}

Catalogue BeginCatalogue(const PartitionSource& partition) {
  Catalogue catalogue;
  AppendFolder(catalogue, kLostFolderName, kLostFolderId, 0, 0, 0, 0);
  catalogue.folderCount = 1;
  ReplayedPartition replayed = ReadPartitionJournal(partition.disk, partition.startSector, partition.superblock,
                                                    partition.journal);
  catalogue.currentSuperblock = replayed.superblock;
  catalogue.journal = std::move(replayed.journal);
  return catalogue;
}

CatalogueEntry& ConvertObject(Catalogue& catalogue, BuildStatus& status, const ObjectRecord& record) {
  return ConvertObjectNamed(catalogue, status, record, catalogue.objectList.Name(record), record.folderId);
}

CatalogueEntry& ConvertObjectNamed(Catalogue& catalogue, BuildStatus& status, const ObjectRecord& record,
                                   std::string_view name, std::uint32_t folderId) {
  const bool folder = IsFolderMode(record.mode);
  CatalogueEntry& entry = folder ? AppendFolder(catalogue, name, record.objectId, record.dirId, record.modificationTime,
                                                0, 0)
                                 : AppendFile(catalogue, name, record.objectId, record.dirId, record.modificationTime,
                                              record.size, 0);
  entry.folderId = folderId;
  entry.mode = record.mode;
  entry.details = record.details;
  const std::uint32_t count = folder ? ++catalogue.folderCount : ++catalogue.fileCount;
  status.SetRow(folder ? StatusRow::FoldersFound : StatusRow::FilesFound, count);
  status.SetRow(folder ? StatusRow::LastFolder : StatusRow::LastFile, std::string(name));
  return entry;
}

void LostFolderPass(Catalogue& catalogue, BuildStatus& status) {
  std::unordered_set<std::uint32_t> folderIds;
  for (const auto& folder : catalogue.folderList) folderIds.insert(folder.objectId);
  std::uint32_t n = 0;
  for (auto& folder : catalogue.folderList) {
    if (folder.parentId == 0 || folder.parentId == kRootFolderId) continue;
    if (!folderIds.contains(folder.parentId)) folder.parentId = kLostFolderId;
    if (n > 0) {
      status.SetStatusCount("Searching Lost Directories ", n, catalogue.folderCount);
      status.SetProgress(ProgressPercent(n, catalogue.folderCount));
    }
    ++n;
  }
  status.Flush();
}

void FinishCatalogue(Catalogue& catalogue, BuildStatus& status, BuildStatusSink& sink) {
  status.Flush();
  sink.OnLostFolderPass();
  LostFolderPass(catalogue, status);
}

}  // namespace vantrel
