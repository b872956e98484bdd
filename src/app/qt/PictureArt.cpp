#include "app/qt/PictureArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace vantrel::qt {

namespace {

const QColor kDeep(0x1f, 0x3a, 0x5f);
const QColor kLight(0x4a, 0x7a, 0xb0);
const QColor kAccent(0xf0, 0xa8, 0x30);

void DrawDisk(QPainter& painter, QRectF box) {
  painter.setPen(QPen(Qt::white, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(box);
  const QPointF centre = box.center();
  painter.setBrush(kAccent);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(centre, box.width() / 8, box.height() / 8);
}

}  // namespace

QPixmap BannerPixmap(QSize size) {
  QPixmap pixmap(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(0, 0, size.width(), 0);
  gradient.setColorAt(0, kDeep);
  gradient.setColorAt(1, kLight);
  painter.fillRect(pixmap.rect(), gradient);
  DrawDisk(painter, QRectF(8, 5, size.height() - 10, size.height() - 10));
  QFont font = painter.font();
  font.setPointSizeF(14);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(size.height() + 8, 0, size.width(), size.height()), Qt::AlignVCenter, "Vantrel For ReiserFS");
  font.setPointSizeF(8);
  font.setBold(false);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, size.width() - 10, size.height()), Qt::AlignVCenter | Qt::AlignRight,
                   "Read-only data recovery");
  return pixmap;
}

QIcon ApplicationIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(kDeep);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  DrawDisk(painter, QRectF(12, 12, 40, 40));
  return QIcon(pixmap);
}

QIcon CommandIcon(CommandPicture picture) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPen outline(kDeep, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(outline);
  const auto arrow = [&](QPointF from, QPointF to) {
    painter.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y()) * 5.0;
    const QPointF n(-d.y(), d.x());
    painter.drawPolyline(QPolygonF{to - d + n, to, to - d - n});
    painter.setPen(outline);
  };
  const auto document = [&] {
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF{{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}});
    for (int y = 12; y <= 24; y += 4) painter.drawLine(11, y, 22, y);
  };
  switch (picture) {
    case CommandPicture::SaveData:
      painter.setBrush(kLight);
      painter.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
      painter.setBrush(Qt::white);
      painter.drawRect(QRectF(9, 4, 14, 9));
      painter.drawRect(QRectF(8, 18, 16, 10));
      break;
    case CommandPicture::LoadLog:
      document();
      arrow({16, 31}, {16, 17});
      break;
    case CommandPicture::SaveLog:
      document();
      arrow({16, 14}, {16, 29});
      break;
    case CommandPicture::Browse:
      // A folder under a magnifying glass.
      painter.setBrush(kLight);
      painter.drawPolygon(QPolygonF{{3, 8}, {11, 8}, {14, 11}, {26, 11}, {26, 25}, {3, 25}});
      painter.setBrush(Qt::white);
      painter.drawEllipse(QRectF(14, 13, 11, 11));
      painter.setPen(QPen(kAccent, 3, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(QPointF(23.5, 22.5), QPointF(29, 28));
      break;
    case CommandPicture::Help: {
      painter.setBrush(kLight);
      painter.drawEllipse(QRectF(4, 4, 24, 24));
      QFont font = painter.font();
      font.setBold(true);
      font.setPixelSize(18);
      painter.setFont(font);
      painter.setPen(Qt::white);
      painter.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, "?");
      break;
    }
    case CommandPicture::Exit:
      painter.setPen(QPen(QColor(0xc0, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
      painter.drawArc(QRectF(6, 7, 20, 20), 120 * 16, 300 * 16);
      painter.drawLine(16, 4, 16, 16);
      break;
  }
  return QIcon(pixmap);
}

std::vector<StepPictureFile> StepPictureFiles() {
  return {
      {"Step1.bmp", 1, "Step 1: select a disk"},
      {"Step2.bmp", 1, "Step 1: choose a recovery mode"},
      {"Step3.bmp", 1, "Step 1: press Next"},
      {"Step4.bmp", 2, "Step 2: select a partition"},
      {"Step4_1.bmp", 2, "Step 2: raw recovery"},
      {"mount5.bmp", 2, "Step 2: reading the partition"},
      {"mount6.bmp", 2, "Step 2: examining every block"},
      {"step6_1.bmp", 3, "Step 3: check folders and save"},
      {"step7.bmp", 3, "Step 3: check folders and save"},
  };
}

QImage StepPicture(int step, const QString& caption, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(image.rect(), QColor(0xf4, 0xf6, 0xfa));
  painter.setPen(QPen(QColor(0xc8, 0xd0, 0xdc)));
  painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
  // Three numbered circles joined by a line; the current one filled.
  const int radius = 11;
  const int y = 20;
  const int left = 40;
  const int gap = (size.width() - 2 * left) / 2;
  painter.setPen(QPen(kLight, 2));
  painter.drawLine(left, y, left + 2 * gap, y);
  QFont font = painter.font();
  font.setBold(true);
  font.setPointSizeF(9);
  painter.setFont(font);
  for (int i = 1; i <= 3; ++i) {
    const QPointF centre(left + (i - 1) * gap, y);
    const bool current = i == step;
    const bool done = i < step;
    painter.setPen(QPen(kDeep, 2));
    painter.setBrush(current ? kAccent : done ? kLight : QColor(Qt::white));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(current || done ? Qt::white : kDeep);
    painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter,
                     QString::number(i));
  }
  font.setBold(false);
  font.setPointSizeF(8.5);
  painter.setFont(font);
  painter.setPen(kDeep);
  painter.drawText(QRect(0, y + radius + 2, size.width(), size.height() - y - radius - 2), Qt::AlignCenter, caption);
  return image;
}

}  // namespace vantrel::qt
