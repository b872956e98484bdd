#include "app/qt/CountingDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "app/ControlIds.h"
#include "app/ModelWindow.h"
#include "app/qt/PortDialogs.h"

namespace vantrel::qt {

namespace {
constexpr const char* kTerminateCountQuestion = "Do you want to terminate this process?";
}

void RunCountingDialog(QWidget* parent, ModelWindow& window, const std::function<void()>& count,
                       const std::function<void()>& stop) {
  QDialog dialog(parent);
  dialog.setObjectName("CalculatingFileSize");
  dialog.setWindowTitle("Calculating File Size");
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("Calculating File Size. Please Wait..."));
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel("Total Files :"));
  auto* total = new QLabel;
  total->setObjectName(QString::number(control::kCountingTotalFiles));
  row->addWidget(total);
  row->addStretch();
  layout->addLayout(row);
  auto* stopButton = new QPushButton("Stop ");
  stopButton->setObjectName("1");
  stopButton->setAutoDefault(false);
  layout->addWidget(stopButton, 0, Qt::AlignRight);

  std::atomic<bool> done{false};
  std::thread worker([&] {
    count();
    done = true;
  });
  QObject::connect(stopButton, &QPushButton::clicked, &dialog, [&] {
    if (done) return;
    stopButton->setEnabled(false);
    if (!QuestionBox(&dialog, kTerminateCountQuestion)) {
      stopButton->setEnabled(true);
      return;
    }
    stop();  // the count returns at its next step; the timer then closes the dialog
  });
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &dialog, [&] {
    total->setText(QString::fromStdString(window.Control(control::kCountingTotalFiles).text));
    if (done) dialog.accept();
  });
  timer.start(50);
  dialog.exec();
  worker.join();
}

}  // namespace vantrel::qt
