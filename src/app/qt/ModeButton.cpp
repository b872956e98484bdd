#include "app/qt/ModeButton.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace vantrel::qt {

void ModeButton::enterEvent(QEnterEvent* event) {
  QRadioButton::enterEvent(event);
  if (isEnabled()) emit hovered(event->globalPosition().toPoint());
}

void ModeButton::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (isEnabled() && !isChecked()) emit hovered(event->globalPosition().toPoint());
}

}  // namespace vantrel::qt
