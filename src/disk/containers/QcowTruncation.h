#pragma once
// The parts of a qcow2 disk whose clusters, or whose L2 tables, lie past the end of a cut
// short image file, or whose table entries break the format's rules (reserved bits set,
// offsets off their cluster). libqcow 20201213 copies a whole cluster out of the shorter
// block it reads there (reading past its buffer, and crashing on some), so such parts are
// never handed to it: they read as bad sectors.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

struct DiskByteRange {
  std::uint64_t start = 0;
  std::uint64_t length = 0;
};

// The byte ranges of the disk that lie in clusters missing from the file or damaged, in order and
// merged; empty for a whole file, a qcow version 1 image or a file that is no qcow2.
std::vector<DiskByteRange> FindCutOffQcowClusters(const std::string& path);

// Whether [offset, offset + length) touches one of the ranges.
bool TouchesAny(const std::vector<DiskByteRange>& ranges, std::uint64_t offset, std::uint64_t length);

}  // namespace vantrel
