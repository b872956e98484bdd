// Disk images opened in the window: through "Open Disk Image...", dropped on the disk list,
// and named when the window starts; each joins the disk list.

#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include "qt/WindowFixture.h"
#include "support/ContainerFixtures.h"

namespace vantrel::test {
namespace {

class DiskImageActionsTest : public WindowFixture {
 protected:
  std::size_t ListedDisks() {
    app_->window.RefreshNow();
    return static_cast<std::size_t>(app_->window.TreeWidget(TreeId::Disk)->topLevelItem(0)->childCount());
  }
  QAction* MenuAction(const char* name) { return app_->window.menuBar()->findChild<QAction*>(name); }
};

TEST_F(DiskImageActionsTest, TheOptionsMenuOpensAnImageWhichJoinsTheListAndIsRemovedAgain) {
  Open(FixtureImage("bare-36"));
  const std::string e01 = ContainerFixture("bare-36", "E01");
  ASSERT_NE(MenuAction("openDiskImage"), nullptr);
  EXPECT_EQ(MenuAction("openDiskImage")->text(), QString::fromUtf8("&Open Disk Image\u2026"));
  // What the file dialog hands back (the dialog itself was driven under Xvfb).
  app_->diskImages.Add({e01});
  ASSERT_EQ(ListedDisks(), 2u);
  EXPECT_EQ(app_->state.disks.names.Entry(1)->path, e01);

  ClickTreeItem(TreeId::Disk, app_->window.TreeChildren(TreeId::Disk, app_->window.TreeRoot(TreeId::Disk)).at(1));
  MenuAction("removeDiskImage")->trigger();
  EXPECT_EQ(ListedDisks(), 1u);
}

TEST_F(DiskImageActionsTest, ImagesDroppedOnTheDiskListOrNamedAtTheStartAreListed) {
  Open(FixtureImage("bare-36"));
  const std::string qcow = ContainerFixture("bare-36", "qcow2");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(qcow))});
  QWidget* viewport = app_->window.TreeWidget(TreeId::Disk)->viewport();
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &drop);
  EXPECT_TRUE(drop.isAccepted());
  ASSERT_EQ(ListedDisks(), 2u);
  EXPECT_EQ(app_->state.disks.names.Entry(1)->path, qcow);

  app_.reset();
  qt::StartOptions options;
  options.programFolder = VANTREL_PROGRAM_FOLDER;
  options.disks = {{FixtureImage("bare-36"), {}}};
  options.images = {qcow, ContainerFixture("bare-36", "vhdx")};
  options.tempFolder = temp_.Path().string();
  app_ = std::make_unique<qt::WizardApplication>(options);
  EXPECT_EQ(ListedDisks(), 3u);
}

}  // namespace
}  // namespace vantrel::test
