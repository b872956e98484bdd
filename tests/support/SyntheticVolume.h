#pragma once
// Writes large, valid ReiserFS 3.6 volumes into sparse image files, for benchmarks and for
// tests at sizes no kernel-made fixture has. Below the root lie folders (and folders below
// them) holding files; every object has its stat data and its directory entry, folders
// their directory items sorted by name hash, files a small body: a tail in the leaf, or one
// block of its own. Leaves are packed in key order and carried by internal nodes up to the
// height the fan-out gives (at most 5). The superblock, the object id map and the bitmaps
// agree with what was written.

#include <cstdint>
#include <functional>
#include <string>

namespace vantrel::test {

struct SyntheticVolumeShape {
  std::uint64_t objects = 5000;  // folders and files below the root
  std::uint32_t filesPerFolder = 100;
  std::uint32_t topFolders = 100;          // folders directly below the root
  std::uint32_t subfoldersPerFolder = 10;  // the other folders, below earlier folders
  std::uint32_t internalFanout = 0;        // children per internal node; 0 for as many as fit
  std::uint64_t partitionStart = 2048;     // the partition's first sector; 0 for a bare volume
  bool writeBlockBodies = false;           // write one-block bodies (else they read as zeros)
};

// One object as the generator wrote it.
struct SyntheticObject {
  std::string path;  // from the root, "/"-separated, no leading "/"
  std::uint32_t dirId = 0;
  std::uint32_t objectId = 0;
  bool folder = false;
  std::uint64_t size = 0;  // the stat data size (a folder's is its directory's bytes)
  std::uint32_t modificationTime = 0;
};

struct SyntheticVolumeSummary {
  std::uint64_t folders = 0;
  std::uint64_t files = 0;
  std::uint64_t tailFiles = 0;      // bodies in direct items
  std::uint64_t oneBlockFiles = 0;  // bodies in one indirect block
  std::uint32_t leaves = 0;
  std::uint32_t internalNodes = 0;
  std::uint32_t treeHeight = 0;
  std::uint32_t blockCount = 0;
  std::uint64_t partitionStart = 0;
};

// The file content of a synthetic file: byte k of the file of object id objectId.
char SyntheticFileByte(std::uint32_t objectId, std::uint64_t k);

// Writes the image at path (replacing it). onObject, when given, hears of every folder and
// file in key order (paths are made only then). Throws std::runtime_error when the file
// cannot be written or the shape asks for a tree taller than 5 levels.
SyntheticVolumeSummary WriteSyntheticVolume(const std::string& path, const SyntheticVolumeShape& shape,
                                            const std::function<void(const SyntheticObject&)>& onObject = {});

}  // namespace vantrel::test
