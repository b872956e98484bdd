#pragma once
// A VHD or VHDX disk (fixed, dynamic, or differencing over its parent, which is looked for
// where it names it and beside it), read through libvhdi; a VHDX with its log replayed in memory.

#include <cstdint>
#include <memory>
#include <string>

#include "disk/containers/ContainerSource.h"

namespace vantrel {

class VhdiImageSource : public ContainerSource {
 public:
  // depth: how many children stand above this image (0 for the image the user named).
  explicit VhdiImageSource(const std::string& path, std::size_t depth = 0);
  ~VhdiImageSource() override;
  VhdiImageSource(const VhdiImageSource&) = delete;
  VhdiImageSource& operator=(const VhdiImageSource&) = delete;

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  std::intptr_t* file_ = nullptr;      // libvhdi's file
  std::intptr_t* replayed_ = nullptr;  // libbfio's handle over the file with its log replayed, if any
  std::unique_ptr<VhdiImageSource> parent_;
};

}  // namespace vantrel
