#include "disk/containers/OpenDiskImage.h"

#include "disk/FileDiskSource.h"
#include "disk/containers/EwfImageSource.h"
#include "disk/containers/QcowImageSource.h"
#include "disk/containers/SplitPieces.h"
#include "disk/containers/SplitRawSource.h"
#include "disk/containers/VdiImageSource.h"
#include "disk/containers/VhdiImageSource.h"
#include "disk/containers/VmdkImageSource.h"

namespace vantrel {

std::unique_ptr<DiskSource> OpenDiskImage(const std::string& path, std::optional<BadSectorMap> badSectors,
                                          std::string* problem) {
  const ImageKind kind = DetectImageKind(path);
  if (badSectors && kind != ImageKind::Raw && kind != ImageKind::SplitRaw) {
    *problem = path + " is a " + ImageKindName(kind) +
               " image: a ddrescue mapfile describes a raw image only (the container's damaged parts read as bad "
               "sectors without one)";
    return nullptr;
  }
  switch (kind) {
    case ImageKind::Raw: return std::make_unique<FileDiskSource>(path, std::move(badSectors));
    case ImageKind::ExpertWitness: return std::make_unique<EwfImageSource>(path);
    case ImageKind::Qcow: return std::make_unique<QcowImageSource>(path);
    case ImageKind::Vmdk: return std::make_unique<VmdkImageSource>(path);
    case ImageKind::Vhd:
    case ImageKind::Vhdx: return std::make_unique<VhdiImageSource>(path);
    case ImageKind::SplitRaw: return std::make_unique<SplitRawSource>(SplitPieces(path), std::move(badSectors));
    case ImageKind::Vdi: return std::make_unique<VdiImageSource>(path);
  }
  return std::make_unique<FileDiskSource>(path, std::move(badSectors));
}

}  // namespace vantrel
