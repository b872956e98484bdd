#include "app/qt/ModeButton.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace vantrel::qt {

namespace {
int restDelay = 300;
}

ModeButton::ModeButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  rest_.setSingleShot(true);
  connect(&rest_, &QTimer::timeout, this, [this] {
    if (isEnabled() && isVisible()) emit hovered(restingAt_);
  });
}

void ModeButton::SetRestDelay(int milliseconds) { restDelay = milliseconds; }
int ModeButton::RestDelay() { return restDelay; }

void ModeButton::Rest(QPoint globalPosition) {
  restingAt_ = globalPosition;
  if (!isEnabled()) return;
  rest_.start(restDelay);
}

void ModeButton::enterEvent(QEnterEvent* event) {
  QRadioButton::enterEvent(event);
  Rest(event->globalPosition().toPoint());
}

void ModeButton::leaveEvent(QEvent* event) {
  QRadioButton::leaveEvent(event);
  rest_.stop();
}

void ModeButton::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!isChecked()) Rest(event->globalPosition().toPoint());
}

}  // namespace vantrel::qt
