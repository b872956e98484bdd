#pragma once
// "Search for RAID Arrays..." in the Options menu: the raid search over the listed disks,
// its candidates offered in a choice, and the one picked listed as a further disk.

#include <QObject>

namespace vantrel {
struct WizardState;
class Wizard;
}  // namespace vantrel

namespace vantrel::qt {

class QtWizardWindow;

class RaidSearchAction : public QObject {
 public:
  RaidSearchAction(QtWizardWindow& window, Wizard& wizard, WizardState& state);

  // Runs the search (with a progress dialog that can stop it) and offers what it found.
  void SearchAndChoose();

 private:
  QtWizardWindow& window_;
  Wizard& wizard_;
  WizardState& state_;
};

}  // namespace vantrel::qt
