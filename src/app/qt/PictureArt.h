#pragma once
// The pictures of the window, drawn by the program: the banner, the application icon and
// the step pictures that the build writes into the program folder.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <vector>

namespace vantrel::qt {

QPixmap BannerPixmap(QSize size);
QIcon ApplicationIcon();

enum class CommandPicture { SaveData, LoadLog, SaveLog, Browse, Help, Exit };
QIcon CommandIcon(CommandPicture picture);

struct StepPictureFile {
  QString fileName;
  int step;  // 1 disk and mode, 2 partition, 3 catalogue
  QString caption;
};
// Every step picture file with its step and caption.
std::vector<StepPictureFile> StepPictureFiles();
QImage StepPicture(int step, const QString& caption, QSize size);

}  // namespace vantrel::qt
