#pragma once
// A catalogue ready to be served: its inodes, and the contents of its files gathered on
// first use and then kept, for any number of threads at once. The partition is only read.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "mount/FileContent.h"
#include "mount/MountTree.h"
#include "reiserfs/catalogue/AttributeFiles.h"
#include "saving/AttributeValues.h"
#include "saving/FileBody.h"

namespace vantrel::mount {

struct VolumeRead {
  int error = 0;  // errno for the reply, 0 when bytes are given
  std::size_t length = 0;
};

class MountedVolume {
 public:
  // states: which entries are live (see EntryStates); strict: damaged ranges read as EIO.
  // names: how names are shown (see MountTree).
  MountedVolume(const PartitionSource& partition, Catalogue catalogue, BodySource source, const EntryStates& states,
                bool strict, const NameDecoder& names = {});

  const MountTree& Tree() const { return tree_; }
  std::uint32_t BlockSize() const { return readBlocks_.BlockSize(); }
  std::uint32_t BlockCount() const { return readBlocks_.BlockCount(); }

  // The size shown: the stat data's, or for a file without one, how far its body reaches.
  std::uint64_t SizeOf(NodeId id);
  // Files: the body is damaged, or a read met an unreadable block.
  bool Damaged(NodeId id);
  // Reads a file's bytes from offset into out.
  VolumeRead Read(NodeId id, std::uint64_t offset, std::span<std::byte> out);
  // A symbolic link's target (its body, at most 4095 bytes).
  std::optional<std::string> LinkTarget(NodeId id);
  // The volume's own extended attributes and ACLs of the node's entry.
  EntryAttributes ExtendedAttributes(NodeId id);

 private:
  std::shared_ptr<const FileContent> Content(NodeId id);

  PartitionSource partition_;
  Catalogue catalogue_;
  MountTree tree_;
  bool strict_;
  PartitionBlocks readBlocks_;  // for file data: reads only, safe from any thread
  std::mutex collectMutex_;     // guards the collector and its node cache
  BodyCollector collector_;
  AttributeFiles attributeFiles_;
  std::mutex contentMutex_;
  std::unordered_map<NodeId, std::shared_ptr<const FileContent>> contents_;
  std::unique_ptr<std::atomic<bool>[]> readFailed_;
};

}  // namespace vantrel::mount
