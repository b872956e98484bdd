#pragma once
// A VMDK disk (monolithic or split, flat, sparse or stream-optimised), read through libvmdk:
// the extents named by its descriptor are looked for beside it. A sparse file that carries
// its own descriptor is its one extent, whatever name the descriptor gives (a renamed disk).

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
  // Opens the file itself as the one extent, through a file pool of libbfio.
  bool OpenItselfAsExtent(const std::string& path, std::intptr_t*& error);

  std::intptr_t* handle_ = nullptr;  // libvmdk's handle
  std::intptr_t* pool_ = nullptr;    // libbfio's pool of the extent, when it is the file itself
};

}  // namespace vantrel
