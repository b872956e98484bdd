// The synthetic volumes that the benchmarks build on read back through the partition search
// and both catalogue builds exactly as the generator says it wrote them.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "app/CatalogueBuildCommands.h"
#include "app/FolderTree.h"
#include "app/PartitionList.h"
#include "app/PartitionSearchCommands.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "saving/FileSaver.h"
#include "support/SyntheticVolume.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

// (dirId, objectId) -> what was written.
using Written = std::map<std::pair<std::uint32_t, std::uint32_t>, SyntheticObject>;

class SyntheticVolumeReadBack : public ::testing::Test {
 protected:
  SyntheticVolumeSummary Write(const SyntheticVolumeShape& shape) {
    const auto summary = WriteSyntheticVolume(image_, shape, [&](const SyntheticObject& object) {
      written_[{object.dirId, object.objectId}] = object;
    });
    wizard_.UseImages({image_});
    QuickSearch(wizard_.state);
    return summary;
  }

  void Build(bool advanced) {
    ASSERT_EQ(wizard_.state.partitionTable.count, 1u);
    SelectPartition(wizard_.state, 0);
    wizard_.state.catalogue.Clear();
    ReplaceFolderTree(wizard_.state);
    wizard_.state.fileSearchKind = advanced ? FileSearchKind::Advanced : FileSearchKind::Quick;
    if (advanced)
      AdvancedCatalogueBuild(wizard_.state);
    else
      QuickCatalogueBuild(wizard_.state);
  }

  const Catalogue& Cat() const { return wizard_.state.catalogue; }

  // Every entry but "Lost" is one object the generator wrote, at its path, with its
  // values; and every object written is listed.
  void ExpectCatalogueIsWhatWasWritten(const SyntheticVolumeSummary& summary) const {
    ASSERT_EQ(Cat().folderList.size(), summary.folders + 1);
    ASSERT_EQ(Cat().fileList.size(), summary.files);
    const CataloguePaths paths = PathsOf(Cat(), LayOutFolders(Cat()));
    std::size_t seen = 0;
    const auto check = [&](const CatalogueEntry& entry, const std::string& path, bool folder) {
      const auto found = written_.find({entry.parentId, entry.objectId});
      ASSERT_NE(found, written_.end()) << path;
      const SyntheticObject& object = found->second;
      EXPECT_EQ(path, object.path);
      EXPECT_EQ(Cat().Name(entry), object.path.substr(object.path.rfind('/') + 1));
      EXPECT_EQ(object.folder, folder) << path;
      EXPECT_EQ(entry.size, folder ? 0 : object.size) << path;
      EXPECT_EQ(entry.modificationTime, object.modificationTime) << path;
      ++seen;
    };
    for (std::size_t i = 1; i < Cat().folderList.size(); ++i) check(Cat().folderList[i], paths.folders[i], true);
    for (std::size_t i = 0; i < Cat().fileList.size(); ++i) check(Cat().fileList[i], paths.files[i], false);
    EXPECT_EQ(seen, written_.size());
  }

  TempDir dir_;
  std::string image_ = (dir_ / "synthetic.img").string();
  TestWizard wizard_;
  Written written_;
};

TEST_F(SyntheticVolumeReadBack, BothBuildsListEveryObjectWritten) {
  SyntheticVolumeShape shape;
  shape.objects = 5000;
  shape.filesPerFolder = 40;
  shape.topFolders = 12;
  shape.subfoldersPerFolder = 3;
  const auto summary = Write(shape);
  EXPECT_EQ(summary.folders + summary.files, 5000u);
  EXPECT_GT(summary.tailFiles, 0u);
  EXPECT_GT(summary.oneBlockFiles, 0u);
  EXPECT_EQ(written_.size(), 5000u);
  Build(false);
  ExpectCatalogueIsWhatWasWritten(summary);
  Build(true);
  ExpectCatalogueIsWhatWasWritten(summary);
}

TEST_F(SyntheticVolumeReadBack, ATreeOfFiveLevelsIsReadToTheBottom) {
  SyntheticVolumeShape shape;
  shape.objects = 3000;
  shape.internalFanout = 4;
  const auto summary = Write(shape);
  EXPECT_EQ(summary.treeHeight, 5u);
  Build(false);
  ExpectCatalogueIsWhatWasWritten(summary);
}

TEST_F(SyntheticVolumeReadBack, TooTallATreeIsRefused) {
  SyntheticVolumeShape shape;
  shape.objects = 3000;
  shape.internalFanout = 2;
  EXPECT_THROW(WriteSyntheticVolume(image_, shape), std::runtime_error);
}

// Tails and one-block bodies both read back as the bytes the generator wrote.
TEST_F(SyntheticVolumeReadBack, BodiesReadBackByteForByte) {
  SyntheticVolumeShape shape;
  shape.objects = 300;
  shape.writeBlockBodies = true;
  Write(shape);
  Build(false);
  const std::uint64_t start = wizard_.state.currentPartition.partitionStartSector;
  const PartitionSource partition{wizard_.Disk(), start, ReadPartitionSuperblock(wizard_.Disk(), start)};
  const std::string saved = (dir_ / "saved").string();
  std::size_t checked = 0;
  for (const CatalogueEntry& file : Cat().fileList) {
    std::string expected;
    for (std::uint64_t k = 0; k < file.size; ++k) expected += SyntheticFileByte(file.objectId, k);
    ASSERT_TRUE(WriteFileForViewing(partition, Cat(), BodySource::Tree, file, saved));
    std::ifstream in(saved, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected) << Cat().Name(file);
    checked += file.size > 0;
  }
  EXPECT_GT(checked, 100u);
}

}  // namespace
}  // namespace vantrel::test
