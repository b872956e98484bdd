#pragma once
// A raw image split into pieces ("disk.001", "disk.002", ... or "disk.aa", "disk.ab", ...),
// read as one disk. A ddrescue map, where given, applies to the whole.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "disk/BadSectorMap.h"
#include "disk/FileDiskSource.h"
#include "disk/containers/ContainerSource.h"

namespace vantrel {

class SplitRawSource : public ContainerSource {
 public:
  SplitRawSource(const std::vector<std::string>& pieces, std::optional<BadSectorMap> badSectors);

 protected:
  bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) override;

 private:
  struct Piece {
    std::unique_ptr<FileDiskSource> file;
    std::uint64_t start = 0;  // where on the disk the piece begins
    std::uint64_t size = 0;
  };
  std::vector<Piece> pieces_;
  std::optional<BadSectorMap> badSectors_;
};

}  // namespace vantrel
