#pragma once
// A recovery mode button: the mouse only hovers it (which selects the mode); presses are
// swallowed, so a click can come only from the keyboard.

#include <QMouseEvent>
#include <QRadioButton>

namespace vantrel::qt {

class ModeButton : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;

 signals:
  void hovered(QPoint globalPosition);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
};

}  // namespace vantrel::qt
