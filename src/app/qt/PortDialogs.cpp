#include "app/qt/PortDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace vantrel::qt {

namespace {

QString Title() { return QString::fromUtf8(kApplicationTitle); }

// A box is as wide as its text by default: one with a short text ("Invalid End Sector")
// left the window manager too little room for its caption. Room for the caption, the
// title bar's icon and its buttons is kept below the text.
void KeepRoomForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  QFont caption = box.font();
  caption.setBold(true);
  const int width = QFontMetrics(caption).horizontalAdvance(box.windowTitle()) + kCaptionFurniture;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                grid->columnCount());
}

struct DialogButton {
  QString label;
  QString name;  // the button's identifier, as its objectName
};

// A dialog with a text and a row of buttons; returns the index of the button pressed. Enter
// presses the default button; Escape and closing the dialog press the escape button.
int ButtonDialog(QWidget* parent, const QString& name, const QString& title, const QString& text,
                 const std::vector<DialogButton>& buttons, std::size_t defaultIndex, std::size_t escapeIndex,
                 QMessageBox::Icon icon = QMessageBox::Warning) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  box.setObjectName(name);
  KeepRoomForCaption(box);
  std::vector<QPushButton*> added;
  for (const DialogButton& button : buttons) {
    added.push_back(box.addButton(button.label, QMessageBox::AcceptRole));
    added.back()->setObjectName(button.name);
  }
  box.setDefaultButton(added.at(defaultIndex));
  box.setEscapeButton(added.at(escapeIndex));
  box.exec();
  for (std::size_t i = 0; i < added.size(); ++i)
    if (box.clickedButton() == added[i]) return static_cast<int>(i);
  return static_cast<int>(escapeIndex);
}

}  // namespace

void InformationBox(QWidget* parent, const std::string& text) {
  QMessageBox box(QMessageBox::Information, Title(), QString::fromStdString(text), QMessageBox::NoButton, parent);
  KeepRoomForCaption(box);
  box.addButton("&OK", QMessageBox::AcceptRole);
  box.exec();
}

bool QuestionBox(QWidget* parent, const std::string& text, const std::function<bool()>& asked) {
  QMessageBox box(QMessageBox::Question, Title(), QString::fromStdString(text), QMessageBox::NoButton, parent);
  KeepRoomForCaption(box);
  QAbstractButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
  QAbstractButton* no = box.addButton("&No", QMessageBox::NoRole);
  QTimer watch;
  if (asked) {
    QObject::connect(&watch, &QTimer::timeout, &box, [&] {
      if (!asked()) no->click();
    });
    watch.start(20);
  }
  box.exec();
  return box.clickedButton() == yes;
}

bool SystemBox(QWidget* parent, const std::string& text, SystemIcon icon) {
  if (icon == SystemIcon::Question) return QuestionBox(parent, text);
  const QMessageBox::Icon shown = icon == SystemIcon::Error         ? QMessageBox::Critical
                                  : icon == SystemIcon::Information ? QMessageBox::Information
                                                                    : QMessageBox::NoIcon;
  QMessageBox box(shown, Title(), QString::fromStdString(text), QMessageBox::Ok, parent);
  KeepRoomForCaption(box);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return true;
}

BadSectorAnswer BadSectorDialog(QWidget* parent, const std::string& details) {
  // The buttons in the order of the answers' values; Retry is the default, Skip the escape.
  const QString text = "Encountered Bad Sector(s) while reading disk.\n\n" + QString::fromStdString(details);
  const int answer =
      ButtonDialog(parent, "BadSectorEncountered", "Bad Sector Encountered", text,
                   {{"Retry", "retry"}, {"Skip", "skip"}, {"Retry All", "retryAll"}, {"Skip All", "skipAll"}}, 0, 1);
  return static_cast<BadSectorAnswer>(answer);
}

ReplaceAnswer ReplaceDialog(QWidget* parent, const std::string& path) {
  const QString text = "The File Already Exists. Do you want to replace the existing file.\n\n" +
                       QString::fromStdString(path);
  const int answer =
      ButtonDialog(parent, "ReplaceFileConfirmation", "Replace File Confirmation", text,
                   {{"&Yes", "1"}, {"&No", "2"}, {"Yes to &All", "1139"}, {"No &to All", "1138"}}, 0, 1,
                   QMessageBox::Question);
  return static_cast<ReplaceAnswer>(answer);
}

WriteErrorAnswer WriteErrorDialog(QWidget* parent, const std::string& path) {
  const QString text = "Error copying current file :\n" + QString::fromStdString(path) +
                       "\n\nThere may be bad sectors or error in file system or not enough space in destination.";
  const int answer = ButtonDialog(parent, "ErrorWritingDestination", "Error Writing Destination", text,
                                  {{"&Abort", "1"}, {"&Skip", "2"}}, 0, 1);
  return answer == 0 ? WriteErrorAnswer::Abort : WriteErrorAnswer::Skip;
}

std::string FileSavingDialog(QWidget* parent, const std::function<void()>& openSettings) {
  QDialog dialog(parent);
  dialog.setObjectName("FileSaving");
  dialog.setWindowTitle("File Saving");
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("Enter Path for Saving or Click on Browse Button"));
  auto* row = new QHBoxLayout;
  auto* edit = new QLineEdit;
  edit->setObjectName("1005");
  edit->setMinimumWidth(300);
  auto* browse = new QPushButton("&Browse...");
  browse->setAutoDefault(false);
  row->addWidget(edit);
  row->addWidget(browse);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("1");
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole)->setObjectName("2");
  QPushButton* settings = buttons->addButton("&Settings", QDialogButtonBox::ActionRole);
  settings->setObjectName("1130");
  layout->addWidget(buttons);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    const QString folder = QFileDialog::getExistingDirectory(&dialog, "Please specify a folder for Copying...", edit->text());
    if (!folder.isEmpty()) edit->setText(folder);
  });
  QObject::connect(settings, &QPushButton::clicked, &dialog, [&] { openSettings(); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return {};
  return edit->text().trimmed().toStdString();
}

}  // namespace vantrel::qt
