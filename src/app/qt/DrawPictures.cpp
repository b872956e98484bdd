// Writes the step pictures into a program folder: vantrel-draw-pictures FOLDER.

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app/qt/PictureArt.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantrel-draw-pictures FOLDER\n");
    return 1;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  for (const auto& picture : vantrel::qt::StepPictureFiles()) {
    const QImage image = vantrel::qt::StepPicture(picture.step, picture.caption, {230, 56});
    if (!image.save(folder.filePath(picture.fileName), "BMP")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(picture.fileName)));
      return 1;
    }
  }
  return 0;
}
