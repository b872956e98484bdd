#include "app/qt/MainWindowLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include "app/ControlIds.h"
#include "app/qt/ModeButton.h"

namespace vantrel::qt {

using namespace control;
using K = ControlKind;

QSize ClientSize() { return {747, 470}; }

const std::vector<TemplateControl>& TemplateControls() {
  // Groups come first so that the controls they frame are drawn above them.
  static const std::vector<TemplateControl> controls = {
      {kSelectDiskGroup, K::Group, "Select Disk", {4, 104, 234, 250}},
      {kRecoveryModesGroup, K::Group, "Recovery Modes", {4, 358, 234, 76}},
      {kPartitionTypeGroup, K::Group, "", {4, 358, 234, 100}},
      {kRawFileTypesGroup, K::Group, "Select File Type(s) for Raw Recovery", {244, 46, 245, 130}},
      {kRawMethodGroup, K::Group, "Select Raw Recovery Method", {496, 46, 245, 130}},
      {kRawReportGroup, K::Group, "Report", {244, 180, 370, 118}},

      {kSaveDataButton, K::IconButton, "", {6, 6, 34, 34}},
      {kLoadLogButton, K::IconButton, "", {44, 6, 34, 34}},
      {kSaveLogButton, K::IconButton, "", {82, 6, 34, 34}},
      {kBrowseButton, K::IconButton, "", {120, 6, 34, 34}},
      {kHelpButton, K::IconButton, "", {158, 6, 34, 34}},
      {kExitButton, K::IconButton, "", {196, 6, 34, 34}},
      {kStepPicture, K::Picture, "", {6, 46, 230, 56}},

      {kDiskTree, K::Tree, "", {10, 122, 222, 226}},
      {kPartitionTree, K::Tree, "", {5, 108, 231, 242}},
      {kFolderTree, K::Tree, "", {5, 108, 231, 277}},
      {kQuickSearchMode, K::ModeRadio, "Quick Search", {16, 374, 200, 18}},
      {kAdvancedSearchMode, K::ModeRadio, "Advanced Search", {16, 392, 200, 18}},
      {kRawRecoveryMode, K::ModeRadio, "Raw Recovery", {16, 410, 200, 18}},
      {1040, K::Text, "Partition Type :", {14, 376, 92, 18}, kPartitionTypeGroup},
      {1030, K::Combo, "", {110, 374, 120, 22}, kPartitionTypeGroup},
      {1038, K::Text, "Start Sector :", {14, 402, 92, 18}, kPartitionTypeGroup},
      {1036, K::Edit, "", {110, 400, 120, 22}, kPartitionTypeGroup},
      {1039, K::Text, "End Sector  :", {14, 428, 92, 18}, kPartitionTypeGroup},
      {1037, K::Edit, "", {110, 426, 120, 22}, kPartitionTypeGroup},

      {kDetailsList, K::List, "", {244, 48, 497, 250}},
      {kRawFileTypesList, K::List, "", {252, 64, 229, 104}},
      {kRawEntireDisk, K::Radio, "Entire Disk", {506, 66, 200, 18}},
      {kRawSectorRange, K::Radio, "Sector Range", {506, 88, 200, 18}},
      {kRawStartLabel, K::Text, "Start Sector", {506, 116, 76, 18}},
      {kRawStartSector, K::Edit, "", {584, 114, 148, 22}},
      {kRawEndLabel, K::Text, "End Sector", {506, 144, 76, 18}},
      {kRawEndSector, K::Edit, "", {584, 142, 148, 22}},
      {kRawExactSizes, K::Check, "Whole files", {626, 224, 115, 20}},
      {kRawResultsList, K::List, "", {252, 198, 354, 92}},
      {kRawStatus, K::Text, "", {244, 422, 316, 18}},
      {kRawStartButton, K::Button, "Start &Recovery", {622, 188, 119, 28}},
      {kRawProgress, K::Progress, "", {244, 398, 330, 18}},

      {1048, K::Text, "Selected Disk", {244, 304, 126, 18}},
      {1049, K::Text, "", {372, 304, 120, 18}},
      {1050, K::Text, "Range", {244, 322, 126, 18}},
      {1051, K::Text, "", {372, 322, 120, 18}},
      {1052, K::Text, "Selected File System", {496, 304, 126, 18}},
      {1053, K::Text, "", {624, 304, 117, 18}},
      {1058, K::Text, "Selected Mode", {496, 322, 126, 18}},
      {1059, K::Text, "", {624, 322, 117, 18}},
      {1056, K::Text, "Directories Found", {244, 340, 126, 18}},
      {1057, K::Text, "", {372, 340, 120, 18}},
      {1054, K::Text, "Boot Sectors Found", {496, 340, 126, 18}},
      {1055, K::Text, "", {624, 340, 117, 18}},
      {1042, K::Text, "Search Mode :", {244, 358, 126, 18}},
      {1043, K::Text, "", {372, 358, 369, 18}},
      {1066, K::Text, "Current Folder  :", {244, 376, 126, 18}},
      {kStatusText, K::Text, "", {372, 376, 369, 18}},
      {kMoreSearchProgress, K::Progress, "", {244, 398, 330, 18}},
      {kSearchProgress, K::Progress, "", {244, 398, 330, 18}},
      {kFoundCount, K::Text, "", {580, 398, 161, 18}},
      {kStopButton, K::Button, "Stop Searching", {244, 422, 130, 26}},
      {kSearchMoreButton, K::Button, "Search More Partitions", {380, 422, 170, 26}},
      {1064, K::Check, "Search Entire Disk", {244, 452, 200, 16}},
      {kLogFolderEdit, K::Edit, "", {0, 0, 10, 10}},
      {kBackButton, K::Button, "B&ack", {566, 436, 84, 28}},
      {kNextButton, K::Button, "&Next", {656, 436, 84, 28}},
  };
  return controls;
}

namespace {

QWidget* Create(const TemplateControl& control, QWidget* parent) {
  const QString text = QString::fromUtf8(control.text);
  switch (control.kind) {
    case K::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case K::IconButton: {
      auto* button = new QToolButton(parent);
      button->setAutoRaise(true);
      button->setIconSize({24, 24});
      return button;
    }
    case K::Picture: {
      auto* label = new QLabel(parent);
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case K::Text: return new QLabel(text, parent);
    case K::Group: return new QGroupBox(text, parent);
    case K::Radio: return new QRadioButton(text, parent);
    case K::ModeRadio: return new ModeButton(text, parent);
    case K::Check: return new QCheckBox(text, parent);
    case K::List: {
      auto* view = new QTableView(parent);
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      view->verticalHeader()->hide();
      view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
      view->verticalHeader()->setDefaultSectionSize(20);
      view->horizontalHeader()->setHighlightSections(false);
      view->setWordWrap(false);
      return view;
    }
    case K::Progress: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setFormat("%p%");
      return bar;
    }
    case K::Edit: return new QLineEdit(parent);
    case K::Combo: return new QComboBox(parent);
    case K::Tree: {
      auto* tree = new QTreeWidget(parent);
      tree->setHeaderHidden(true);
      tree->setRootIsDecorated(true);
      return tree;
    }
  }
  return nullptr;
}

}  // namespace

std::map<int, QWidget*> CreateControls(QWidget* parent) {
  std::map<int, QWidget*> controls;
  for (const TemplateControl& control : TemplateControls()) {
    QWidget* widget = Create(control, parent);
    widget->setObjectName(QString::number(control.id));
    widget->setGeometry(control.rect);
    controls[control.id] = widget;
  }
  return controls;
}

}  // namespace vantrel::qt
