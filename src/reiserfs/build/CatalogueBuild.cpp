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

void ConvertObject(Catalogue& catalogue, BuildStatus& status, const ObjectRecord& record) {
  const std::string_view name = catalogue.objectList.Name(record);
  if (IsFolderMode(record.mode)) {
    CatalogueEntry& folder = AppendFolder(catalogue, name, record.objectId, record.dirId, record.modificationTime, 0,
                                          0);
    folder.folderId = record.folderId;
    folder.mode = record.mode;
    folder.details = record.details;
    ++catalogue.folderCount;
    status.SetRow(StatusRow::FoldersFound, catalogue.folderCount);
    status.SetRow(StatusRow::LastFolder, std::string(name));
  } else {
    CatalogueEntry& file = AppendFile(catalogue, name, record.objectId, record.dirId, record.modificationTime,
                                      record.size, 0);
    file.folderId = record.folderId;
    file.mode = record.mode;
    file.details = record.details;
    ++catalogue.fileCount;
    status.SetRow(StatusRow::FilesFound, catalogue.fileCount);
    status.SetRow(StatusRow::LastFile, std::string(name));
  }
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
