#pragma once
// Browse's catalogue served as a folder by a FUSE mount in this process.

#include "app/BrowseFolder.h"
#include "mount/MountSession.h"

namespace vantrel::qt {

class FolderMounter : public CatalogueMounter {
 public:
  std::string Mount(const PartitionSource& partition, Catalogue catalogue, BodySource bodies, const std::string& folder,
                    const StopToken& stop, BuildStatusSink& status) override;
  void Unmount() override { session_.Stop(); }

 private:
  mount::MountSession session_;
};

}  // namespace vantrel::qt
