#include "app/qt/ListColumnFit.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "app/ColumnWidths.h"
#include "app/ListModel.h"

namespace vantrel::qt {

namespace {
constexpr int kMeasuredRows = 32;
}

void FitListColumns(QTableView* view, const ListModel& list) {
  const std::size_t count = list.Columns().size();
  if (count == 0) return;
  std::vector<int> preferred, needed;
  // The view measures the rows in sight and a few more, however long the list.
  view->horizontalHeader()->setResizeContentsPrecision(kMeasuredRows);
  const QAbstractItemView* measured = view;
  for (std::size_t column = 0; column < count; ++column) {
    const int section = static_cast<int>(column);
    preferred.push_back(list.Columns()[column].width);
    needed.push_back(
        std::max(view->horizontalHeader()->sectionSizeHint(section), measured->sizeHintForColumn(section)));
  }
  // Room for a scroll bar is always kept, so that the widths do not depend on the row count.
  const int room = view->width() - 2 * view->frameWidth() - view->verticalScrollBar()->sizeHint().width();
  const std::vector<int> widths = FitColumnWidths(preferred, needed, room);
  // The last column also stretches to the edge; the width it is given is its least.
  for (std::size_t column = 0; column < count; ++column) view->setColumnWidth(static_cast<int>(column), widths[column]);
}

}  // namespace vantrel::qt
