#pragma once
// Disk images in the window: "Open Disk Image..." and "Remove Disk Image" at the top of the
// Options menu, image files dropped on the disk list, and a disk list item's context menu.

#include <QObject>
#include <string>
#include <vector>

namespace vantrel {
struct WizardState;
class Wizard;
}  // namespace vantrel

namespace vantrel::qt {

class QtWizardWindow;

class DiskImageActions : public QObject {
 public:
  DiskImageActions(QtWizardWindow& window, Wizard& wizard, WizardState& state);

  // Adds the images (as the dialog, a drop or the command line gives them) and shows what
  // could not be added.
  void Add(const std::vector<std::string>& paths);
  // Opens the file dialog and adds what the user chose.
  void OpenFromDialog();
  // Takes the chosen disk off the list, when it is an image.
  void RemoveChosen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show(const std::string& message);

  QtWizardWindow& window_;
  Wizard& wizard_;
  WizardState& state_;
};

}  // namespace vantrel::qt
