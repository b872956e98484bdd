#pragma once
// An md array read from its members, in memory and read-only: each read is cut at chunk
// boundaries and sent to the member that holds it; a member that is missing or fails to
// read is read through the array's redundancy (another copy, or the row's parity).

#include <memory>
#include <optional>
#include <vector>

#include "stacks/MdGeometry.h"
#include "stacks/StackedDiskSource.h"

namespace vantrel {

// A member's data area: the source it is on, and where its data starts there.
struct MdMemberData {
  std::shared_ptr<DiskSource> source;
  std::uint64_t dataStartByte = 0;
};

class MdArraySource : public StackedDiskSource {
 public:
  // One entry per role; an empty one is a missing member.
  MdArraySource(MdGeometry geometry, std::vector<std::optional<MdMemberData>> roles, StackDescription description,
                std::vector<std::string> underlyingPaths = {});

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override { return ArraySectors(geometry_) * 512; }
  std::string OpenError() override { return {}; }
  const StackDescription& Description() const override { return description_; }
  std::vector<std::string> UnderlyingPaths() const override { return paths_; }
  void SetUnderlyingPaths(std::vector<std::string> paths) { paths_ = std::move(paths); }

 private:
  // Reads from one member's data area; false when it is missing or the read failed.
  bool ReadMember(std::uint32_t role, std::uint64_t byte, std::span<std::byte> into) const;
  // A stretch of a read that lies in one chunk, and the member that holds it.
  struct MemberPiece {
    std::uint64_t offset = 0;
    std::span<std::byte> into;
    std::uint32_t role = 0;
  };
  ReadOutcome ReadPieces(const std::vector<MemberPiece>& pieces) const;
  // Cuts [offset, offset + length) at chunk boundaries and reads the pieces.
  ReadOutcome ReadChunks(std::uint64_t offset, std::span<std::byte> into) const;
  // A parity array with a member missing: whole stripe rows at a time, a batch after another.
  ReadOutcome ReadDegradedRows(std::uint64_t offset, std::span<std::byte> into) const;
  ReadOutcome ReadPiece(std::uint64_t offset, std::span<std::byte> into) const;
  ReadOutcome RebuildFromParity(std::uint64_t chunk, std::uint64_t within, std::span<std::byte> into) const;

  MdGeometry geometry_;
  std::vector<std::optional<MdMemberData>> roles_;
  std::vector<bool> present_;
  bool degradedParity_ = false;
  StackDescription description_;
  std::vector<std::string> paths_;
};

}  // namespace vantrel
