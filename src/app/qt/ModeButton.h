#pragma once
// A recovery mode button: the mouse only hovers it (which selects the mode); presses are
// swallowed, so a click can come only from the keyboard. The pointer must rest on the button
// for a moment: passing over it on the way to another control selects nothing.

#include <QMouseEvent>
#include <QPoint>
#include <QRadioButton>
#include <QTimer>

namespace vantrel::qt {

class ModeButton : public QRadioButton {
  Q_OBJECT
 public:
  explicit ModeButton(const QString& text, QWidget* parent = nullptr);

  // How long the pointer rests before the mode is selected (milliseconds).
  static void SetRestDelay(int milliseconds);
  static int RestDelay();

 signals:
  void hovered(QPoint globalPosition);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }

 private:
  void Rest(QPoint globalPosition);

  QTimer rest_;
  QPoint restingAt_;
};

}  // namespace vantrel::qt
