#pragma once
// `disks --verify`: the disk read through its container from end to end, and the hashes
// the container stores compared with those of what was read.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "disk/containers/ContainerSource.h"

namespace vantrel {

struct HashComparison {
  std::string name;  // "MD5", "SHA1", "SHA256"
  std::string stored;
  std::string computed;  // lower-case hex digits
  bool matches = false;
};

struct StoredHashCheck {
  std::vector<HashComparison> hashes;  // one per hash the container stores
  std::uint64_t unreadableBytes = 0;   // in damaged parts of the container
  bool opened = false;
  bool Passed() const;
};

// progress is told the bytes read so far, now and then.
StoredHashCheck CheckStoredHashes(ContainerSource& disk, const std::function<void(std::uint64_t)>& progress = {});

}  // namespace vantrel
