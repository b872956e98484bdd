#include "app/qt/WizardApplication.h"

namespace vantrel::qt {

WizardApplication::WizardApplication(const StartOptions& options) {
  state.mainWindow = &window;
  state.files.programFolder = options.programFolder;
  state.files.tempFolder = options.tempFolder;
  dialogs.SetMailbox(options.mailbox);
  window.Bind(wizard, dialogs);
  wizard.UseMounter(&mounter);
  EnumerateDisks(state, options.disks);
  wizard.Initialise(options.languageSetting);
  window.ApplyAll();
  diskImages.Add(options.images);
}

}  // namespace vantrel::qt
