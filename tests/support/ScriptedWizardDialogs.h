#pragma once
// The wizard's own dialogs answered from a script, with what was asked recorded.

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/WizardDialogs.h"

namespace vantrel::test {

class ScriptedWizardDialogs : public WizardDialogs {
 public:
  void AddFileSearchKind(std::optional<FileSearchKind> kind) { fileSearchKinds_.push_back(kind); }

  std::optional<FileSearchKind> AskFileSearchKind() override {
    if (fileSearchKinds_.empty()) return std::nullopt;
    const auto kind = fileSearchKinds_.front();
    fileSearchKinds_.pop_front();
    return kind;
  }
  void RunSettingsDialog() override { Record("settings"); }
  void RunCountingDialog(const std::function<void()>& count, const std::function<void()>&) override {
    Record("counting");
    count();
  }
  void RunSavingDialog(const std::function<bool()>& running) override {
    Record("saving");
    while (running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  void PrintListing(const std::string& path) override { Record("print " + path); }
  void MailFile(const std::string& path, const std::string&, const std::string& = {},
                const std::string& = {}) override {
    Record("mail " + path);
  }
  void OpenHelp() override { Record("help"); }
  void ShowAbout() override { Record("about"); }
  void ShowSupport(int command) override { Record("support " + std::to_string(command)); }
  void EndProcess() override { Record("end"); }

  std::vector<std::string> Actions() const {
    std::lock_guard lock(mutex_);
    return actions_;
  }

 private:
  // The counting dialog is asked for from the saving worker.
  void Record(const std::string& action) {
    std::lock_guard lock(mutex_);
    actions_.push_back(action);
  }
  mutable std::mutex mutex_;
  std::deque<std::optional<FileSearchKind>> fileSearchKinds_;
  std::vector<std::string> actions_;
};

}  // namespace vantrel::test
