#pragma once
// Sets the column widths of a list view from its list model: the widths the model asks
// for, narrowed to the view's room so that no column falls off its right edge.

class QTableView;

namespace vantrel {
class ListModel;
}

namespace vantrel::qt {

void FitListColumns(QTableView* view, const ListModel& list);

}  // namespace vantrel::qt
