#pragma once
// The message boxes and small modal dialogs that the engines ask for through the window
// port, with their texts and buttons. Each runs on the GUI thread.

#include <functional>
#include <string>

#include "app/WindowPort.h"

class QWidget;

namespace vantrel::qt {

// Room a window manager takes beside a caption (the title bar's icon and buttons), in pixels:
// every message box is at least as wide as its caption and this.
inline constexpr int kCaptionFurniture = 120;

void InformationBox(QWidget* parent, const std::string& text);
// Yes and No; with asked, the box goes away by itself (as No) once asked() turns false.
bool QuestionBox(QWidget* parent, const std::string& text, const std::function<bool()>& asked = {});
bool SystemBox(QWidget* parent, const std::string& text, SystemIcon icon);
BadSectorAnswer BadSectorDialog(QWidget* parent, const std::string& details);
ReplaceAnswer ReplaceDialog(QWidget* parent, const std::string& path);
WriteErrorAnswer WriteErrorDialog(QWidget* parent, const std::string& path);
// "File Saving": the folder typed or browsed, empty on "&Cancel". "&Settings" runs
// openSettings.
std::string FileSavingDialog(QWidget* parent, const std::function<void()>& openSettings);

}  // namespace vantrel::qt
