#pragma once
// The bytes of a small object's body in memory: a symbolic link's target, the file that holds
// one extended attribute. Holes and unreadable blocks read as zeros.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "saving/FileBody.h"

namespace vantrel {

struct SmallBody {
  std::vector<std::byte> bytes;  // the first min(size, most) bytes
  bool damaged = false;          // a block could not be read, or lies outside the partition
};

SmallBody ReadSmallBody(PartitionBlocks& blocks, const FileBody& body, std::uint64_t size, std::size_t most);

// Symbolic link targets hold at most this many bytes (the kernel's page less its NUL).
inline constexpr std::size_t kMostLinkBytes = 4095;

// The target of a symbolic link entry: its body up to the first NUL; nothing when its body
// is damaged.
std::optional<std::string> ReadLinkTarget(BodyCollector& bodies, const CatalogueEntry& link);

}  // namespace vantrel
