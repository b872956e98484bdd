#include "app/qt/MainWindowLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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

QSize ClientSize() { return {747, 530}; }

const std::vector<TemplateControl>& TemplateControls() {
  // Groups come first so that the controls they frame are drawn above them.
  static const std::vector<TemplateControl> controls = {
      {kSelectDiskGroup, K::Group, "Select Disk", {4, 104, 234, 310}},
      {kRecoveryModesGroup, K::Group, "Recovery Modes", {4, 418, 234, 76}},
      {kPartitionTypeGroup, K::Group, "", {4, 418, 234, 100}},
      // Raw recovery: the kinds in one column, every one in sight with its whole caption;
      // beside them the method, the whole-files box and the start button; the report
      // below, as wide as the panel so that its rows are whole.
      {kRawFileTypesGroup, K::Group, "Select File Type(s) for Raw Recovery", {244, 46, 283, 230}},
      {kRawMethodGroup, K::Group, "Select Raw Recovery Method", {533, 46, 208, 160}},
      {kRawReportGroup, K::Group, "Report", {244, 280, 497, 80}},

      {kSaveDataButton, K::IconButton, "", {6, 6, 34, 34}},
      {kLoadLogButton, K::IconButton, "", {44, 6, 34, 34}},
      {kSaveLogButton, K::IconButton, "", {82, 6, 34, 34}},
      {kBrowseButton, K::IconButton, "", {120, 6, 34, 34}},
      {kHelpButton, K::IconButton, "", {158, 6, 34, 34}},
      {kExitButton, K::IconButton, "", {196, 6, 34, 34}},
      {kStepPicture, K::Picture, "", {6, 46, 230, 56}},

      {kDiskTree, K::Tree, "", {10, 122, 222, 286}},
      {kPartitionTree, K::Tree, "", {5, 108, 231, 302}},
      {kFolderTree, K::Tree, "", {5, 108, 231, 337}},
      {kQuickSearchMode, K::ModeRadio, "Quick Search", {16, 434, 200, 18}},
      {kAdvancedSearchMode, K::ModeRadio, "Advanced Search", {16, 452, 200, 18}},
      {kRawRecoveryMode, K::ModeRadio, "Raw Recovery", {16, 470, 200, 18}},
      {1040, K::Text, "Partition Type :", {14, 436, 92, 18}, kPartitionTypeGroup},
      {1030, K::Combo, "", {110, 434, 120, 22}, kPartitionTypeGroup},
      {1038, K::Text, "Start Sector :", {14, 462, 92, 18}, kPartitionTypeGroup},
      {1036, K::Edit, "", {110, 460, 120, 22}, kPartitionTypeGroup},
      {1039, K::Text, "End Sector  :", {14, 488, 92, 18}, kPartitionTypeGroup},
      {1037, K::Edit, "", {110, 486, 120, 22}, kPartitionTypeGroup},

      {kDetailsList, K::List, "", {244, 48, 497, 310}},
      {kRawFileTypesList, K::CheckList, "", {252, 64, 267, 204}},
      {kRawEntireDisk, K::Radio, "Entire Disk", {543, 66, 190, 18}},
      {kRawSectorRange, K::Radio, "Sector Range", {543, 88, 190, 18}},
      {kRawStartLabel, K::Text, "Start Sector", {543, 116, 72, 18}},
      {kRawStartSector, K::Edit, "", {617, 114, 116, 22}},
      {kRawEndLabel, K::Text, "End Sector", {543, 144, 72, 18}},
      {kRawEndSector, K::Edit, "", {617, 142, 116, 22}},
      {kRawExactSizes, K::Check, "Whole files", {543, 176, 115, 20}},
      {kRawResultsList, K::List, "", {252, 296, 481, 62}},
      {kRawStatus, K::Text, "", {244, 482, 316, 18}},
      {kRawStartButton, K::Button, "Start &Recovery", {533, 214, 130, 28}},
      {kRawProgress, K::Progress, "", {244, 458, 330, 18}},

      {1048, K::Text, "Selected Disk", {244, 364, 126, 18}},
      {1049, K::Text, "", {372, 364, 120, 18}},
      {1050, K::Text, "Range", {244, 382, 126, 18}},
      {1051, K::Text, "", {372, 382, 120, 18}},
      {1052, K::Text, "Selected File System", {496, 364, 126, 18}},
      {1053, K::Text, "", {624, 364, 117, 18}},
      {1058, K::Text, "Selected Mode", {496, 382, 126, 18}},
      {1059, K::Text, "", {624, 382, 117, 18}},
      {1056, K::Text, "Directories Found", {244, 400, 126, 18}},
      {1057, K::Text, "", {372, 400, 120, 18}},
      {1054, K::Text, "Boot Sectors Found", {496, 400, 126, 18}},
      {1055, K::Text, "", {624, 400, 117, 18}},
      {1042, K::Text, "Search Mode :", {244, 418, 126, 18}},
      {1043, K::Text, "", {372, 418, 369, 18}},
      {1066, K::Text, "Current Folder  :", {244, 436, 126, 18}},
      {kStatusText, K::Text, "", {372, 436, 369, 18}},
      {kMoreSearchProgress, K::Progress, "", {244, 458, 330, 18}},
      {kSearchProgress, K::Progress, "", {244, 458, 330, 18}},
      {kFoundCount, K::Text, "", {580, 458, 161, 18}},
      {kStopButton, K::Button, "Stop Searching", {244, 482, 130, 26}},
      {kSearchMoreButton, K::Button, "Search More Partitions", {380, 482, 170, 26}},
      {1064, K::Check, "Search Entire Disk", {244, 512, 200, 16}},
      {kLogFolderEdit, K::Edit, "", {0, 0, 10, 10}},
      {kBackButton, K::Button, "B&ack", {566, 496, 84, 28}},
      {kNextButton, K::Button, "&Next", {656, 496, 84, 28}},
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
    case K::CheckList: {
      // One column of check boxes, each row as wide as its caption.
      auto* view = new QListView(parent);
      view->setSelectionBehavior(QAbstractItemView::SelectRows);
      view->setEditTriggers(QAbstractItemView::NoEditTriggers);
      view->setWordWrap(false);
      return view;
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
