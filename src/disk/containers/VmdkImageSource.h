#pragma once
// A VMDK disk (monolithic or split, flat, sparse or stream-optimised), read through libvmdk:
// the extents named by its descriptor are looked for beside it.

#include <cstdint>
#include <string>

#include "disk/containers/ContainerSource.h"

namespace vantrel {

class VmdkImageSource : public ContainerSource {
 public:
  explicit VmdkImageSource(const std::string& path);
  ~VmdkImageSource() override;
  VmdkImageSource(const VmdkImageSource&) = delete;
  VmdkImageSource& operator=(const VmdkImageSource&) = delete;

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  std::intptr_t* handle_ = nullptr;  // libvmdk's handle
};

}  // namespace vantrel
