// Browse at the catalogue step: the catalogue mounted in a private folder that the desktop
// is asked to open, every file read back through that folder, and the folder unmounted and
// removed when the user goes Back or the window ends.

#include <QDesktopServices>
#include <QUrl>

#include "qt/WindowFixture.h"
#include "support/FuseSupport.h"

namespace vantrel::test {
namespace {

// Stands in for the desktop's file manager: records the folders it is asked to open.
class OpenedFolders : public QObject {
  Q_OBJECT
 public:
  OpenedFolders() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~OpenedFolders() override { QDesktopServices::unsetUrlHandler("file"); }
  QStringList paths;

 public slots:
  void Open(const QUrl& url) { paths << url.toLocalFile(); }
};

class BrowseWindowTest : public WindowFixture {
 protected:
  void SetUp() override {
    std::string why;
    if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  }
  // Browse by the top button; the folder the desktop was asked to open.
  fs::path Browse() {
    const qsizetype before = opened_.paths.size();
    Click(kBrowseButton);
    RunUntil([&] { return opened_.paths.size() > before; });
    return opened_.paths.back().toStdString();
  }
  OpenedFolders opened_;
};

TEST_F(BrowseWindowTest, CatalogueIsBrowsedThroughAFolderThatBackUnmountsAndRemoves) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(2048, "quick");
  EXPECT_TRUE(app_->window.CommandAction(kMenuBrowse)->isEnabled());
  const fs::path folder = Browse();
  ASSERT_TRUE(IsMountPoint(folder));
  EXPECT_EQ(folder.string(), app_->wizard.BrowsedFolder());

  std::size_t compared = 0;
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  for (const auto& entry : partition["entries"]) {
    const fs::path at = folder / entry["path"].get<std::string>();
    if (entry["kind"] == "dir") {
      EXPECT_TRUE(fs::is_directory(at)) << at;
    }
    if (entry["kind"] != "file") continue;
    EXPECT_EQ(Sha256OfFile(at.string()), entry["sha256"].get<std::string>()) << at;
    ++compared;
  }
  EXPECT_GT(compared, 10u);
  EXPECT_FALSE(fs::exists(folder / "Lost"));  // as the tree: nothing was lost, no "Lost"

  Click(kBackButton);
  EXPECT_FALSE(IsMountPoint(folder));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(app_->wizard.BrowsedFolder(), "");
  app_->window.RefreshNow();
  EXPECT_FALSE(app_->window.CommandAction(kMenuBrowse)->isEnabled());

  // Browsed again from a new build, then the window goes: nothing is left mounted.
  ChoosePartitionAndBuild(94208, "advanced");
  const fs::path again = Browse();
  EXPECT_NE(again, folder);
  EXPECT_TRUE(fs::is_directory(again / "Old Docs"));
  app_.reset();
  EXPECT_FALSE(IsMountPoint(again));
  EXPECT_FALSE(fs::exists(again));
}

}  // namespace
}  // namespace vantrel::test

#include "BrowseWindowTest.moc"
