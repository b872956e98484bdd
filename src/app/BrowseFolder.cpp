#include "app/BrowseFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/ControlIds.h"
#include "app/SavingCommands.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "recovery/CatalogueChoice.h"

namespace vantrel {

namespace {

// A new folder only this user may enter, or empty.
std::string MakePrivateFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  const std::string parent = runtime != nullptr && *runtime == '/' && std::filesystem::is_directory(runtime, error)
                                 ? runtime
                                 : "/tmp";
  std::string pattern = parent + "/vantrel-browse-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return {};
  return name.data();
}

}  // namespace

BrowseFolder::BrowseFolder(WizardState& state) : state_(state), reader_(state.disks.names) {}

BrowseFolder::~BrowseFolder() { End(); }

void BrowseFolder::Open() {
  WindowPort& window = state_.Window();
  std::string served;
  window.RunOnWindowThread([&] { served = folder_; });
  if (served.empty()) {
    if (mounter_ == nullptr) {
      window.ShowMessage(kBrowseUnavailable);
      return;
    }
    const std::string folder = MakePrivateFolder();
    if (folder.empty()) {
      window.ShowMessage(std::string(kBrowseFailed) + "no private folder could be made");
      return;
    }
    PartitionSource partition = CurrentPartitionSource(state_);
    partition.disk = DiskReader(reader_, state_.disks.currentIndex);
    const std::string why = Prepared([&](const StopToken& stop, BuildStatusSink& status) {
      return mounter_->Mount(partition, state_.catalogue, CurrentBodySource(state_), folder, stop, status);
    });
    if (!why.empty()) {
      ::rmdir(folder.c_str());
      if (!stopped_) window.ShowMessage(kBrowseFailed + why);
      return;
    }
    window.RunOnWindowThread([&] { folder_ = folder; });
    served = folder;
  }
  window.OpenDocument(served);
}

namespace {

// The preparation's progress: the bar, and the sector reached in the status line.
class PreparationStatus : public BuildStatusSink {
 public:
  explicit PreparationStatus(WindowPort& window) : window_(window) {}
  void ShowRow(std::size_t row, const std::string& text) override {
    if (row == static_cast<std::size_t>(StatusRow::CurrentSector))
      window_.SetControlText(control::kStatusText, std::string(kPreparingBrowse) + " sector " + text);
  }
  void ShowStatusText(const std::string&) override {}
  void ShowProgress(int position) override { window_.SetProgress(control::kSearchProgress, position); }

 private:
  WindowPort& window_;
};

}  // namespace

std::string BrowseFolder::Prepared(const std::function<std::string(const StopToken&, BuildStatusSink&)>& mount) {
  WindowPort& window = state_.Window();
  const auto showRun = [&](bool shown) {
    window.SetProgress(control::kSearchProgress, 0);
    window.ShowControl(control::kSearchProgress, shown);
    window.ShowControl(control::kStopButton, shown);
    window.EnableControl(control::kStopButton, shown);
    window.SetControlText(control::kStatusText, shown ? kPreparingBrowse : "");
  };
  state_.stopRequested.store(0);
  showRun(true);
  PreparationStatus status(window);
  std::string why = mount(StopToken(state_.stopRequested), status);
  stopped_ = state_.stopRequested.exchange(0) != 0;
  showRun(false);
  return why;
}

void BrowseFolder::End() {
  if (folder_.empty()) return;
  if (mounter_ != nullptr) mounter_->Unmount();
  ::rmdir(folder_.c_str());
  folder_.clear();
}

}  // namespace vantrel
