#include "app/qt/QtWizardDialogs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

#include "app/WizardState.h"
#include "app/qt/QtWizardWindow.h"
#include "app/qt/CountingDialog.h"
#include "app/qt/GuiThread.h"
#include "app/qt/ListingPrinter.h"
#include "app/qt/SavingDialog.h"
#include "app/qt/SettingsWindow.h"

namespace vantrel::qt {

namespace {
constexpr const char* kVersionText = "Version 12.04.06";
}

std::optional<FileSearchKind> QtWizardDialogs::AskFileSearchKind() {
  QDialog dialog(&window_);
  dialog.setObjectName("RecoveryMode");
  dialog.setWindowTitle("Recovery Mode");
  auto* layout = new QVBoxLayout(&dialog);
  auto* group = new QGroupBox("Select Recovery Mode");
  auto* groupLayout = new QVBoxLayout(group);
  auto* quick = new QRadioButton("Quick File/Folder Search");
  quick->setObjectName("quick");
  auto* advanced = new QRadioButton("Advance File/Folder Search");
  advanced->setObjectName("advanced");
  quick->setChecked(true);
  groupLayout->addWidget(quick);
  groupLayout->addWidget(advanced);
  layout->addWidget(group);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setObjectName("1");
  buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("2");
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  if (quick->isChecked()) return FileSearchKind::Quick;
  if (advanced->isChecked()) return FileSearchKind::Advanced;
  return std::nullopt;
}

void QtWizardDialogs::RunSettingsDialog() { RunSettingsWindow(&window_, state_.saving.options, window_); }

void QtWizardDialogs::RunCountingDialog(const std::function<void()>& count, const std::function<void()>& stop) {
  OnGuiThread(&window_, [&] { qt::RunCountingDialog(&window_, window_, count, stop); });
}

void QtWizardDialogs::RunSavingDialog(const std::function<bool()>& running) {
  qt::RunSavingDialog(&window_, window_, state_.saving.run, running);
}

void QtWizardDialogs::PrintListing(const std::string& printFilePath) { PrintListingFile(&window_, printFilePath); }

void QtWizardDialogs::MailFile(const std::string& path, const std::string& subject, const std::string& body,
                               const std::string& failure) {
  // The desktop's mailer, with the file attached.
  QStringList arguments{"--subject", QString::fromStdString(subject)};
  if (!body.empty()) arguments << "--body" << QString::fromStdString(body);
  arguments << "--attach" << QString::fromStdString(path);
  if (!mailbox_.empty()) arguments << QString::fromStdString(mailbox_);
  if (!QProcess::startDetached("xdg-email", arguments))
    window_.ShowMessage(failure.empty() ? "No mail program could be started for " + path : failure);
}

void QtWizardDialogs::OpenHelp() {
  window_.OpenDocument(state_.files.programFolder + "/Help.html");
}

void QtWizardDialogs::ShowAbout() {
  QMessageBox::about(&window_, "About Vantrel",
                     QString("<b>%1</b><br>%2<br><br>Reads ReiserFS 3.5 and 3.6 disks without writing to them "
                             "and copies their files out.")
                         .arg(kApplicationTitle, kVersionText));
}

void QtWizardDialogs::ShowSupport(int) {
  window_.ShowMessage("For support, see the help page (Help, Contents).");
}

void QtWizardDialogs::WaitWhile(const std::function<bool()>& busy) {
  while (busy()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

void QtWizardDialogs::EndProcess() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace vantrel::qt
