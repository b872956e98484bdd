#include "app/BrowseFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/SavingCommands.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

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
  if (folder_.empty()) {
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
    const std::string why = mounter_->Mount(partition, state_.catalogue, CurrentBodySource(state_), folder);
    if (!why.empty()) {
      ::rmdir(folder.c_str());
      window.ShowMessage(kBrowseFailed + why);
      return;
    }
    folder_ = folder;
  }
  window.OpenDocument(folder_);
}

void BrowseFolder::End() {
  if (folder_.empty()) return;
  if (mounter_ != nullptr) mounter_->Unmount();
  ::rmdir(folder_.c_str());
  folder_.clear();
}

}  // namespace vantrel
