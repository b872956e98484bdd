#pragma once
// A qcow (version 1, 2 or 3) disk image, read through libqcow: compressed clusters inflated,
// unallocated clusters read as zeros, or from the backing image when it has one.

#include <cstdint>
#include <memory>
#include <string>

#include "disk/containers/ContainerSource.h"
#include "disk/containers/QcowTruncation.h"

namespace vantrel {

class QcowImageSource : public ContainerSource {
 public:
  // depth: how many children stand above this image (0 for the image the user named).
  explicit QcowImageSource(const std::string& path, std::size_t depth = 0);
  ~QcowImageSource() override;
  QcowImageSource(const QcowImageSource&) = delete;
  QcowImageSource& operator=(const QcowImageSource&) = delete;

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  std::intptr_t* file_ = nullptr;  // libqcow's file
  std::unique_ptr<QcowImageSource> backing_;
  std::vector<DiskByteRange> cutOff_;  // clusters past the end of a cut short file
};

}  // namespace vantrel
