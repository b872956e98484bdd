#pragma once
// Answers the modal dialogs of the window as a user would: each expected dialog gets the
// next scripted action; a message box nobody expected is acknowledged and its text kept.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::test {

class ModalAnswerer {
 public:
  using Action = std::function<void(QWidget* dialog)>;

  ModalAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }

  // The next dialog whose objectName (or class) is name gets action.
  void Expect(const QString& name, Action action) { expected_.push_back({name, std::move(action)}); }
  bool AllAnswered() const { return expected_.empty(); }
  // Leaves every dialog to another answerer from now on.
  void StandAside() { timer_.stop(); }
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  void Poll() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->property("answered").toBool()) return;
    if (!expected_.empty() && (dialog->objectName() == expected_.front().first ||
                               dialog->inherits(expected_.front().first.toLatin1().constData()))) {
      dialog->setProperty("answered", true);
      Action action = std::move(expected_.front().second);
      expected_.pop_front();
      // Acted on after this poll returns, so that a dialog the action opens is answered too.
      QTimer::singleShot(0, dialog, [action = std::move(action), dialog] { action(dialog); });
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
      dialog->setProperty("answered", true);
      messages_.push_back(box->text().toStdString());
      QTimer::singleShot(0, box, [box] { box->buttons().front()->click(); });
    }
  }

  QTimer timer_;
  std::deque<std::pair<QString, Action>> expected_;
  std::vector<std::string> messages_;
};

}  // namespace vantrel::test
