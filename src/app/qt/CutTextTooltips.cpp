#include "app/qt/CutTextTooltips.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace vantrel::qt {

namespace {

// Room the view gives a cell's text beside it: the margins, and the icon and check box of
// the first column.
constexpr int kTextMargins = 8;

}  // namespace

CutTextTooltips::CutTextTooltips(QAbstractItemView* view) : QObject(view), view_(view) {}

void CutTextTooltips::Watch(QAbstractItemView* view) {
  view->viewport()->installEventFilter(new CutTextTooltips(view));
}

bool CutTextTooltips::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || watched != view_->viewport()) return false;
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex index = view_->indexAt(help->pos());
  const QString text = index.data(Qt::DisplayRole).toString();
  int room = view_->visualRect(index).width() - kTextMargins;
  if (!index.data(Qt::DecorationRole).isNull()) room -= view_->iconSize().width() > 0 ? view_->iconSize().width() : 16;
  if (index.data(Qt::CheckStateRole).isValid()) room -= 20;
  if (!index.isValid() || text.isEmpty() || view_->fontMetrics().horizontalAdvance(text) <= room) {
    QToolTip::hideText();
    return true;
  }
  QToolTip::showText(help->globalPos(), text, view_->viewport(), view_->visualRect(index));
  return true;
}

}  // namespace vantrel::qt
