#pragma once
// An Expert Witness image (.E01, .E02, ...): every segment found from the first, compressed
// chunks inflated by libewf. A chunk whose checksum fails reads as bad sectors.

#include <cstdint>
#include <string>
#include <vector>

#include "disk/containers/ContainerSource.h"

namespace vantrel {

class EwfImageSource : public ContainerSource {
 public:
  explicit EwfImageSource(const std::string& path);
  ~EwfImageSource() override;
  EwfImageSource(const EwfImageSource&) = delete;
  EwfImageSource& operator=(const EwfImageSource&) = delete;

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  // Whether a chunk that failed its checksum lies in sectors [first, last].
  bool DamagedWithin(std::uint64_t first, std::uint64_t last);

  std::intptr_t* handle_ = nullptr;  // libewf's handle
  std::uint32_t bytesPerSector_ = 512;
};

}  // namespace vantrel
