#pragma once
// Everything the desktop program runs: the wizard's state, the window, its dialogs and the
// wizard, set up as the program starts (disks listed, lists filled, language chosen).

#include <string>
#include <vector>

#include "app/Wizard.h"
#include "app/WizardState.h"
#include "app/qt/DiskImageActions.h"
#include "app/qt/FolderMounter.h"
#include "app/qt/QtWizardDialogs.h"
#include "app/qt/QtWizardWindow.h"
#include "app/qt/RaidSearchAction.h"
#include "app/DiskList.h"

namespace vantrel::qt {

struct StartOptions {
  std::string programFolder;
  std::string languageSetting;
  std::vector<NamedDisk> disks;     // none: the machine's disks
  std::vector<std::string> images;  // disk images added to those (`vantrel IMAGE...`)
  std::string tempFolder;
  std::string mailbox;  // the service mailbox for mailed reports
};

class WizardApplication {
 public:
  explicit WizardApplication(const StartOptions& options);

  WizardState state;
  QtWizardWindow window{state};
  QtWizardDialogs dialogs{window, state};
  FolderMounter mounter;  // outlives the wizard, whose end unmounts what Browse mounted
  Wizard wizard{state, dialogs, window.Pause()};
  DiskImageActions diskImages{window, wizard, state};
  RaidSearchAction raidSearch{window, wizard, state};
};

}  // namespace vantrel::qt
