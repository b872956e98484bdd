#include "app/qt/SettingsWindow.h"

#include <array>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/SettingsDialog.h"

namespace vantrel::qt {

namespace {

struct RadioChoice {
  int id;
  const char* text;
};

// A group of radio buttons whose index is the field's value, one below the other or, for
// a short row, side by side.
QGroupBox* RadioGroup(const char* title, std::initializer_list<RadioChoice> buttons, int checked,
                      const std::function<void(int)>& onChoose, bool enabled = true, bool sideBySide = false) {
  auto* group = new QGroupBox(title);
  QBoxLayout* layout = sideBySide ? static_cast<QBoxLayout*>(new QHBoxLayout(group)) : new QVBoxLayout(group);
  auto* exclusive = new QButtonGroup(group);
  int value = 0;
  for (const RadioChoice& choice : buttons) {
    auto* button = new QRadioButton(choice.text);
    button->setObjectName(QString::number(choice.id));
    button->setChecked(value == checked);
    button->setEnabled(enabled);
    exclusive->addButton(button, value++);
    layout->addWidget(button);
  }
  QObject::connect(exclusive, &QButtonGroup::idClicked, group, onChoose);
  return group;
}

QComboBox* DateList(int id, int first, int count, int position, bool twoDigits) {
  auto* list = new QComboBox;
  list->setObjectName(QString::number(id));
  for (int i = 0; i < count; ++i)
    list->addItem(twoDigits ? QString("%1").arg(first + i, 2, 10, QChar('0')) : QString::number(first + i));
  list->setCurrentIndex(position);
  return list;
}

// "Select Extensions": the edit field, Add, the list and Remove.
QGroupBox* ExtensionsBox(SettingsDialog& logic) {
  const SavingOptions& shown = logic.Options();
  auto* extensions = new QGroupBox("Select Extensions ( Ex:- DOC, XLS)");
  auto* extensionLayout = new QGridLayout(extensions);
  auto* edit = new QLineEdit;
  edit->setObjectName("1126");
  edit->setMaxLength(39);
  auto* list = new QListWidget;
  list->setObjectName("1127");
  // A few rows are enough: a list at its default height made the dialog taller than the
  // main window, with empty space beside it.
  list->setFixedHeight(list->fontMetrics().height() * 4 + 2 * list->frameWidth() + 8);
  for (const std::string& extension : shown.extensionList) list->addItem(QString::fromStdString(extension));
  auto* add = new QPushButton("&Add ");
  add->setObjectName("1128");
  auto* remove = new QPushButton("&Remove");
  remove->setObjectName("1129");
  remove->setEnabled(logic.RemoveEnabled());
  extensionLayout->addWidget(edit, 0, 0);
  extensionLayout->addWidget(add, 0, 1);
  extensionLayout->addWidget(list, 1, 0);
  extensionLayout->addWidget(remove, 1, 1, Qt::AlignTop);
  const auto showExtensions = [&logic, list, remove] {
    list->clear();
    for (const std::string& extension : logic.Options().extensionList) list->addItem(QString::fromStdString(extension));
    remove->setEnabled(logic.RemoveEnabled());
  };
  QObject::connect(add, &QPushButton::clicked, extensions, [&logic, edit, showExtensions] {
    if (logic.AddExtension(edit->text().toStdString())) edit->clear();
    showExtensions();
    edit->setFocus();
  });
  QObject::connect(remove, &QPushButton::clicked, extensions, [&logic, list, showExtensions] {
    const int next = logic.RemoveExtension(list->currentRow());
    showExtensions();
    if (next >= 0) list->setCurrentRow(next);
  });
  return extensions;
}

// "File Updated": the day, month and year lists of the two dates, put into lists.
QGroupBox* DatesBox(const SettingsDialog& logic, std::array<QComboBox*, 6>& lists) {
  auto* dates = new QGroupBox("File Updated");
  auto* dateLayout = new QGridLayout(dates);
  dateLayout->addWidget(new QLabel("DD"), 0, 1);
  dateLayout->addWidget(new QLabel("MM"), 0, 2);
  dateLayout->addWidget(new QLabel("YYYY"), 0, 3);
  const DatePositions at = logic.Positions();
  lists = {DateList(1030, 1, 31, at[0], true),      DateList(1119, 1, 12, at[1], true),
           DateList(1120, 1970, 130, at[2], false), DateList(1031, 1, 31, at[3], true),
           DateList(1121, 1, 12, at[4], true),      DateList(1122, 1970, 61, at[5], false)};
  dateLayout->addWidget(new QLabel("Earlier"), 1, 0);
  dateLayout->addWidget(new QLabel("After"), 2, 0);
  for (std::size_t i = 0; i < lists.size(); ++i)
    dateLayout->addWidget(lists[i], static_cast<int>(1 + i / 3), static_cast<int>(1 + i % 3));
  return dates;
}

// "Journal": whether builds replay it in memory.
QGroupBox* JournalBox(SettingsDialog& logic) {
  auto* journal = new QGroupBox("Journal");
  auto* journalLayout = new QVBoxLayout(journal);
  auto* replay = new QCheckBox("Replay the journal in memory when building a catalogue");
  replay->setObjectName("ReplayJournal");
  replay->setToolTip(
      "A volume that was not unmounted cleanly keeps its last changes in the journal. They are read from there; "
      "the disk is never written. Clear it to see the blocks as they lie on the disk.");
  replay->setChecked(!logic.Options().blocksInPlace);
  QObject::connect(replay, &QCheckBox::toggled, journal, [&logic](bool on) { logic.SetReplayJournal(on); });
  journalLayout->addWidget(replay);
  return journal;
}

// "Names": safe names everywhere, and the character set the disk's names are shown in.
QGroupBox* NamesBox(SettingsDialog& logic) {
  auto* names = new QGroupBox("Names");
  auto* namesLayout = new QGridLayout(names);
  auto* safeNames = new QCheckBox("Save safe names ( : * ? \" < > | \\ as _ ) on every destination");
  safeNames->setObjectName("SafeNames");
  safeNames->setChecked(logic.Options().safeNames);
  QObject::connect(safeNames, &QCheckBox::toggled, names, [&logic](bool on) { logic.SetSafeNames(on); });
  auto* encoding = new QComboBox;
  encoding->setObjectName("NameEncoding");
  for (const char* name : kNameEncodings) encoding->addItem(name);
  encoding->setCurrentIndex(logic.NameEncodingPosition());
  QObject::connect(encoding, &QComboBox::currentIndexChanged, names,
                   [&logic](int position) { logic.SetNameEncoding(position); });
  auto* keep = new QCheckBox(kKeepEverythingText);
  keep->setObjectName("KeepEverything");
  keep->setToolTip(
      "Owners and groups, every mode bit, symbolic and hard links, device nodes and FIFOs, extended attributes and "
      "ACLs. Only root may give files to other users: what cannot be kept is counted in the summary.");
  keep->setChecked(logic.Options().preserve == PreserveSet::All());
  QObject::connect(keep, &QCheckBox::toggled, names, [&logic](bool on) { logic.SetKeepEverything(on); });
  namesLayout->addWidget(keep, 2, 0, 1, 2);
  namesLayout->addWidget(safeNames, 0, 0, 1, 2);
  namesLayout->addWidget(new QLabel("Names on the disk are in"), 1, 0);
  namesLayout->addWidget(encoding, 1, 1);
  return names;
}

// Apply and Cancel, at the right.
QHBoxLayout* DialogButtons(QDialog& dialog) {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* apply = new QPushButton("&Apply");
  apply->setObjectName("1");
  apply->setAutoDefault(false);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("2");
  cancel->setAutoDefault(false);
  buttons->addWidget(apply);
  buttons->addWidget(cancel);
  QObject::connect(apply, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

void RunSettingsWindow(QWidget* parent, SavingOptions& options, WindowPort& window) {
  SettingsDialog logic(options, window);
  QDialog dialog(parent);
  dialog.setObjectName("Settings");
  dialog.setWindowTitle("Settings");
  auto* layout = new QGridLayout(&dialog);
  const SavingOptions& shown = logic.Options();
  layout->addWidget(RadioGroup("",
                               {{1110, "Include Deleted File(s)"},
                                {1112, "Exclude Deleted File(s)"},
                                {1111, "Save Deleted Files only"}},
                               static_cast<int>(shown.deletedFilter),
                               [&](int value) { logic.SetDeletedFilter(static_cast<DeletedFilter>(value)); }),
                    0, 0);
  layout->addWidget(
      RadioGroup("", {{1123, "Save Selected File(s)"}, {1124, "Save all File(s)"}, {1125, "Invert Selection"}},
                 static_cast<int>(shown.saveScope),
                 [&](int value) { logic.SetSaveScope(static_cast<SaveScope>(value)); }),
      0, 1);

  layout->addWidget(ExtensionsBox(logic), 1, 0);

  std::array<QComboBox*, 6> lists{};
  layout->addWidget(DatesBox(logic, lists), 1, 1, Qt::AlignTop);

  layout->addWidget(RadioGroup(
                        "Saving Mode", {{1097, "Auto"}, {1098, "FAT1 "}, {1029, "FAT2"}, {1099, "Contigious"}},
                        static_cast<int>(shown.savingMode), [](int) {}, /*enabled=*/false, /*sideBySide=*/true),
                    2, 0);

  layout->addWidget(JournalBox(logic), 2, 1);
  layout->addWidget(NamesBox(logic), 3, 0, 1, 2);
  layout->addLayout(DialogButtons(dialog), 4, 1, Qt::AlignBottom);

  if (dialog.exec() == QDialog::Accepted) {
    DatePositions positions{};
    for (std::size_t i = 0; i < lists.size(); ++i) positions[i] = lists[i]->currentIndex();
    logic.Apply(positions);
  } else {
    logic.Cancel();
  }
}

}  // namespace vantrel::qt
