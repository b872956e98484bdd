// libFuzzer target: a real partition with its metadata blocks patched by the input, built
// by the quick or the advanced build and saved whole into a private folder. The input is a
// mode byte (bit 0: the 3.5 partition with 1 KiB blocks instead of the 3.6 one with
// deleted files; bit 1: the advanced build) and then patches of up to 255 bytes, each
// (u16 block selector, u16 offset, u8 length, bytes): the selector picks one of the
// partition's metadata blocks (its superblock and every block that begins like a node).
// The partitions are compacted (CompactPartition.h), so that the advanced build's scan of
// every block stays short. A run may find anything or nothing, but must not crash, hang or
// write outside the folder.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "CompactPartition.h"
#include "FuzzDisk.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/format/TreeNode.h"
#include "saving/SavingWalks.h"

using namespace vantrel;

namespace {

// Files above this size, and files after the first few, are left out: the run tests the
// walk and the reading of bodies, not the copying of many bytes.
constexpr std::uint64_t kLargestSavedFile = 256 * 1024;
constexpr std::size_t kMostSavedFiles = 24;
constexpr int kMaxPatches = 64;

struct Base {
  fuzz::FuzzDisk disk;
  std::uint64_t startSector;
  std::uint32_t blockSize;
  std::vector<std::uint32_t> metadataBlocks;

  Base(const std::string& image, std::uint64_t start)
      : disk(fuzz::CompactPartition(fuzz::LoadFixtureImage(image), start)), startSector(0) {
    const auto superblock = ReadSuperblock(disk.Reader(), 0);
    if (!superblock || superblock->blockSize == 0) std::abort();
    blockSize = superblock->blockSize;
    metadataBlocks.push_back(static_cast<std::uint32_t>(65536 / blockSize));
    const ByteSpan bytes = disk.Source().Bytes();
    for (std::uint32_t b = 1; b < superblock->blockCount; ++b) {
      const std::uint64_t at = std::uint64_t{b} * blockSize;
      if (at + blockSize > bytes.size()) break;
      const NodeHeader header = ReadNodeHeader(bytes.subspan(at, blockSize));
      if (header.level >= kLeafLevel && header.level <= kHighestNodeLevel && header.itemCount > 0)
        metadataBlocks.push_back(b);
    }
  }

  void ApplyPatches(fuzz::InputCursor& input) {
    for (int n = 0; n < kMaxPatches && !input.AtEnd(); ++n) {
      const std::uint32_t block = metadataBlocks[input.U16() % metadataBlocks.size()];
      const std::uint32_t offset = input.U16() % blockSize;
      const ByteSpan bytes = input.Take(input.U8());
      disk.Source().Patch(startSector * kSectorSize + std::uint64_t{block} * blockSize + offset, bytes);
    }
  }
};

class AnsweringPrompts : public SavePrompts {
 public:
  ReplaceAnswer AskReplaceFile(const std::string&) override { return ReplaceAnswer::YesToAll; }
  WriteErrorAnswer AskWriteError(const std::string&) override { return WriteErrorAnswer::Skip; }
};

// Everything the folder tree shows, as checking its root would save it, but for the
// files left out.
SaveSelection EverythingSmall(const Catalogue& catalogue) {
  const FolderLayout layout = LayOutFolders(catalogue);
  const FolderIndex index = IndexFolders(catalogue, layout);
  SaveSelection all;
  if (const auto root = index.find(kRootFolderId); root != index.end())
    for (const std::size_t file : root->second.files) all.AddFile({}, file);
  for (const std::size_t folder : layout.topLevel)
    all.AddFolderWithEverythingBelow(catalogue, layout, index, folder, {});
  SaveSelection small;
  std::size_t files = 0;
  for (const SaveStep& step : all.steps) {
    if (step.file == SaveStep::kNoFile) {
      small.steps.push_back(step);
    } else if (files < kMostSavedFiles && catalogue.fileList.at(step.file).size <= kLargestSavedFile) {
      small.steps.push_back(step);
      ++files;
    }
  }
  small.folders = all.folders;
  return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Base bases[] = {{"deleted", 2048}, {"mbr-mixed", 94208}};
  static fuzz::OutputFolder output;

  fuzz::InputCursor input(ByteSpan(reinterpret_cast<const std::byte*>(data), size));
  const std::uint8_t mode = input.U8();
  Base& base = bases[mode & 1];
  const bool advanced = (mode & 2) != 0;
  base.ApplyPatches(input);

  const DiskReader reader = base.disk.Reader();
  const PartitionSource partition{reader, base.startSector, ReadPartitionSuperblock(reader, base.startSector)};
  SilentBuildStatus status;
  const StopToken stop;
  const Catalogue catalogue = advanced ? BuildAdvancedCatalogue(partition, stop, status)
                                       : BuildQuickCatalogue(partition, stop, status);

  if (std::getenv("VANTREL_FUZZ_VERBOSE"))
    std::fprintf(stderr, "%s build: %zu folders, %zu files\n", advanced ? "advanced" : "quick",
                 catalogue.folderList.size(), catalogue.fileList.size());

  AnsweringPrompts prompts;
  SaveProgress progress;
  SavingRun run;
  const SaveTarget target{partition, advanced ? BodySource::Pieces : BodySource::Tree, output.Destination()};
  const SaveReport report = SaveSelected(target, catalogue, EverythingSmall(catalogue), SavingOptions{}, prompts,
                                         progress, run);
  if (std::getenv("VANTREL_FUZZ_VERBOSE"))
    std::fprintf(stderr, "saved %u files (%llu bytes), %zu damaged\n", report.filesWritten,
                 static_cast<unsigned long long>(report.bytesWritten), report.damagedFiles.size());

  output.CheckAndClear();
  base.disk.Source().Restore();
  return 0;
}
