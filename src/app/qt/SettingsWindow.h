#pragma once
// The "Settings" dialog on the live saving options; the logic is SettingsDialog's.

class QWidget;

namespace vantrel {
class WindowPort;
struct SavingOptions;
}  // namespace vantrel

namespace vantrel::qt {

void RunSettingsWindow(QWidget* parent, SavingOptions& options, WindowPort& window);

}  // namespace vantrel::qt
