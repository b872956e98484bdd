#include "app/qt/SavingDialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ControlIds.h"
#include "app/ModelWindow.h"
#include "recovery/SaveFolders.h"

namespace vantrel::qt {

using namespace control;

void RunSavingDialog(QWidget* parent, ModelWindow& window, SavingRun& run, const std::function<bool()>& running) {
  QDialog dialog(parent);
  dialog.setObjectName("Saving");
  dialog.setWindowTitle("Saving");
  dialog.setMinimumWidth(520);
  auto* layout = new QVBoxLayout(&dialog);
  auto* grid = new QGridLayout;
  std::vector<std::pair<int, QLabel*>> values;
  const auto addRow = [&](int row, const char* caption, int id) {
    grid->addWidget(new QLabel(caption), row, 0);
    auto* value = new QLabel;
    value->setObjectName(QString::number(id));
    value->setTextFormat(Qt::PlainText);
    grid->addWidget(value, row, 1);
    values.emplace_back(id, value);
  };
  addRow(0, "File Name :", kSavingFileName);
  addRow(1, "File Path :", kSavingFilePath);
  addRow(2, "Total Files Recovered :", kSavingFilesRecovered);
  addRow(3, " Recovered Current File :", kSavingCurrentFile);
  grid->addWidget(new QLabel("Total Data Recovered :"), 4, 0);
  auto* data = new QHBoxLayout;
  for (const int id : {kSavingDataRecovered, kSavingDataTotal}) {
    auto* value = new QLabel;
    value->setObjectName(QString::number(id));
    values.emplace_back(id, value);
    data->addWidget(value);
    if (id == kSavingDataRecovered) data->addWidget(new QLabel("/"));
  }
  data->addStretch();
  grid->addLayout(data, 4, 1);
  layout->addLayout(grid);
  auto* bar = new QProgressBar;
  bar->setObjectName(QString::number(kSavingProgress));
  bar->setRange(0, 100);
  layout->addWidget(bar);
  auto* times = new QGridLayout;
  times->addWidget(new QLabel("Time Remaining :"), 0, 0);
  times->addWidget(new QLabel("Time Elapsed"), 1, 0);
  for (const auto& [row, id] : {std::pair{0, kSavingTimeRemaining}, std::pair{1, kSavingTimeElapsed}}) {
    auto* value = new QLabel;
    value->setObjectName(QString::number(id));
    values.emplace_back(id, value);
    times->addWidget(value, row, 1);
  }
  layout->addLayout(times);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* stop = new QPushButton("&Stop");
  stop->setObjectName("1");
  auto* skip = new QPushButton("S&kip");
  skip->setObjectName("1002");
  buttons->addWidget(stop);
  buttons->addWidget(skip);
  layout->addLayout(buttons);
  QObject::connect(stop, &QPushButton::clicked, &dialog, [&run, stop] {
    // The file being written is not left behind shorter than it should be.
    run.requests.abandon = 1;
    run.requests.stop = 1;
    stop->setEnabled(false);
  });
  QObject::connect(skip, &QPushButton::clicked, &dialog, [&run] { run.requests.skip = 1; });

  QTimer timer;
  const auto update = [&] {
    for (const auto& [id, label] : values) {
      const QString text = QString::fromStdString(window.Control(id).text);
      if (label->text() == text) continue;
      label->setText(text);
      label->setToolTip(text);  // a long name or path is cut by the dialog's width
    }
    bar->setValue(window.Control(kSavingProgress).progress);
    if (!running()) dialog.accept();
  };
  QObject::connect(&timer, &QTimer::timeout, &dialog, update);
  timer.start(100);
  QTimer::singleShot(0, &dialog, update);
  dialog.exec();
}

}  // namespace vantrel::qt
