// vantrel: the desktop wizard.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <CLI/CLI.hpp>

#include "app/SettingsStore.h"
#include "app/WindowPort.h"
#include "app/qt/UDisksOpener.h"
#include "app/qt/WizardApplication.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  CLI::App cli{"Vantrel For ReiserFS: recovers files from ReiserFS disks and disk images"};
  std::vector<std::string> disks;
  cli.add_option("--disk", disks, "A disk or disk image to list (repeatable); without it, the machine's disks");
  std::vector<std::string> images;
  cli.add_option("images", images, "Disk images to add to the disk list (raw, split, E01, qcow2, VMDK, VHD, VHDX)");
#ifdef VANTREL_VERSION
  cli.set_version_flag("--version", "vantrel " VANTREL_VERSION);
#endif
  CLI11_PARSE(cli, argc, argv);

  using namespace vantrel;
  const std::string programDirectory = QCoreApplication::applicationDirPath().toStdString();
  const SettingsStore settings = SettingsStore::Load(SettingsStore::Locate(programDirectory));
  qt::StartOptions options;
  options.programFolder = settings.Read("FilePath");
  if (options.programFolder.empty()) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, "Vantrel is not installed properly");
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return 0;
  }
  options.languageSetting = settings.Read("LngFile");
  options.mailbox = settings.Read("SupportMailbox");
  options.tempFolder = QDir::tempPath().toStdString();
  for (const std::string& disk : disks) options.disks.push_back({disk, {}});
  options.images = images;

  // Disks the user may not open are asked of the system's disk service.
  if (::geteuid() != 0) qt::InstallUDisksOpener();
  qt::WizardApplication wizard(options);
  wizard.window.show();
  return application.exec();
}
