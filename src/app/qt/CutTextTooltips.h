#pragma once
// Tooltips for the names a list or a tree cuts short: hovering a cell whose text does not
// fit its column shows the whole text. Cells that fit show nothing.

#include <QObject>

class QAbstractItemView;

namespace vantrel::qt {

class CutTextTooltips : public QObject {
 public:
  // Watches the view's viewport; owned by the view.
  static void Watch(QAbstractItemView* view);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit CutTextTooltips(QAbstractItemView* view);
  QAbstractItemView* view_;
};

}  // namespace vantrel::qt
