#include "app/qt/FolderMounter.h"

#include "mount/ServedVolume.h"

namespace vantrel::qt {

std::string FolderMounter::Mount(const PartitionSource& partition, Catalogue catalogue, BodySource bodies,
                                 const std::string& folder, const StopToken& stop, BuildStatusSink& status) {
  std::string why;
  auto volume = mount::MakeServedVolume(partition, std::move(catalogue), bodies, /*strict=*/false, {}, stop, &status);
  if (!volume) return "stopped";
  session_.Start(std::move(volume), folder, "vantrel", why);
  return why;
}

}  // namespace vantrel::qt
