#pragma once
// The wizard's own dialogs and desktop actions beyond the window port: the "Recovery Mode"
// question, the options and saving dialogs, help, mail, printing, About and the end of the
// process. The Qt window shows real dialogs; tests answer them from a script.

#include <cstdint>
#include <chrono>
#include <functional>
#include <thread>
#include <optional>
#include <string>

#include "app/WizardModes.h"

namespace vantrel {

class WizardDialogs {
 public:
  virtual ~WizardDialogs() = default;

  // "Recovery Mode": "Quick File/Folder Search" or "Advance File/Folder Search"; nothing on
  // "Cancel".
  virtual std::optional<FileSearchKind> AskFileSearchKind() = 0;
  // The "Settings" dialog on the live saving options.
  virtual void RunSettingsDialog() = 0;
  // "Calculating File Size": runs count on a worker of its own while the dialog is open;
  // its "Stop " asks first, then sets stop and waits for count to return. Called from the
  // saving worker.
  virtual void RunCountingDialog(const std::function<void()>& count, const std::function<void()>& stop) = 0;
  // The "Saving" dialog: stays open while running() is true, with Skip and Stop.
  virtual void RunSavingDialog(const std::function<bool()>& running) = 0;
  // Prints the directory listing file (lines separated by 0xE6).
  virtual void PrintListing(const std::string& printFilePath) = 0;
  // Hands a file to the desktop's mailer as an attachment.
  // failure: the message when no mail program can be started (empty: a plain one).
  virtual void MailFile(const std::string& path, const std::string& subject, const std::string& body = {},
                        const std::string& failure = {}) = 0;
  virtual void OpenHelp() = 0;
  virtual void ShowAbout() = 0;
  // The support entries of the menu (32847 to 32849).
  virtual void ShowSupport(int command) = 0;
  // Ends the process with exit code 0, workers included.
  virtual void EndProcess() = 0;
  // Waits while busy() is true, the window still answering meanwhile (a worker may ask
  // it something before it can stop).
  virtual void WaitWhile(const std::function<bool()>& busy) {
    while (busy()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
};

}  // namespace vantrel
