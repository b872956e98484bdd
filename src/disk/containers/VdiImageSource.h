#pragma once
// A VirtualBox disk image (VDI), fixed or dynamic, read by a reader of our own (no Debian
// library reads it): blocks never written read as zeros. A differencing image is refused
// with its reason.

#include <cstdint>
#include <string>
#include <vector>

#include "disk/FileDiskSource.h"
#include "disk/containers/ContainerSource.h"
#include "disk/containers/VdiHeader.h"

namespace vantrel {

class VdiImageSource : public ContainerSource {
 public:
  explicit VdiImageSource(const std::string& path);

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  FileDiskSource file_;
  VdiHeader header_;
  std::vector<std::uint32_t> map_;
};

}  // namespace vantrel
