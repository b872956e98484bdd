#pragma once
// The wizard's own dialogs on the desktop: "Recovery Mode", "Settings", "Saving", printing
// and mailing the directory listing, help, About, and the end of the process.

#include <string>

#include "app/WizardDialogs.h"

namespace vantrel {
struct WizardState;
}

namespace vantrel::qt {

class QtWizardWindow;

class QtWizardDialogs : public WizardDialogs {
 public:
  QtWizardDialogs(QtWizardWindow& window, WizardState& state) : window_(window), state_(state) {}

  // Where mailed reports go (the setting "SupportMailbox"); empty: the user fills it in.
  void SetMailbox(std::string mailbox) { mailbox_ = std::move(mailbox); }

  std::optional<FileSearchKind> AskFileSearchKind() override;
  void RunSettingsDialog() override;
  void RunCountingDialog(const std::function<void()>& count, const std::function<void()>& stop) override;
  void RunSavingDialog(const std::function<bool()>& running) override;
  void PrintListing(const std::string& printFilePath) override;
  void MailFile(const std::string& path, const std::string& subject, const std::string& body = {},
                const std::string& failure = {}) override;
  void OpenHelp() override;
  void ShowAbout() override;
  void ShowSupport(int command) override;
  void EndProcess() override;
  void WaitWhile(const std::function<bool()>& busy) override;

 private:
  QtWizardWindow& window_;
  WizardState& state_;
  std::string mailbox_;
};

}  // namespace vantrel::qt
