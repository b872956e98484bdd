#pragma once
// An LVM2 logical volume read from its physical volumes, read-only: each read is cut at
// segment (and stripe) boundaries and sent to the physical volume that holds it.

#include <memory>
#include <vector>

#include "stacks/LvmVolumeGroup.h"
#include "stacks/StackedDiskSource.h"

namespace vantrel {

// Where a physical volume's extents are read: its source and the byte at which its first
// extent starts.
struct LvmExtentSource {
  std::shared_ptr<DiskSource> source;
  std::uint64_t firstExtentByte = 0;
};

class LogicalVolumeSource : public StackedDiskSource {
 public:
  // One extent source per physical volume of the group, in the group's order; every
  // physical volume a segment uses must be there.
  LogicalVolumeSource(std::uint64_t extentSectors, std::vector<LvmSegment> segments,
                      std::vector<LvmExtentSource> physicalVolumes, StackDescription description,
                      std::vector<std::string> underlyingPaths = {});

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override { return size_; }
  std::string OpenError() override { return {}; }
  const StackDescription& Description() const override { return description_; }
  std::vector<std::string> UnderlyingPaths() const override { return paths_; }

 private:
  std::uint64_t extentBytes_;
  std::vector<LvmSegment> segments_;
  std::vector<LvmExtentSource> physicalVolumes_;
  StackDescription description_;
  std::vector<std::string> paths_;
  std::uint64_t size_ = 0;
};

}  // namespace vantrel
