#pragma once
// The inodes a mounted catalogue shows: the root, every folder where the views place it
// ("Lost" among the top-level folders), and one inode per file object however many folder
// entries name it (hard links). Built once; nothing here reads the disk.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/NameDecoder.h"
#include "mount/EntryStates.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel::mount {

using NodeId = std::uint64_t;
inline constexpr NodeId kRootNode = 1;

// Special: a device node, FIFO or socket (its type in the node's mode).
enum class NodeKind { Folder, File, Symlink, Special };

struct DirectoryEntry {
  std::string name;
  NodeId node = 0;
};

struct MountNode {
  NodeKind kind = NodeKind::Folder;
  std::uint32_t objectId = kRootFolderId;
  std::uint32_t dirId = 1;
  std::uint64_t size = 0;
  bool sizeKnown = true;  // false: no stat data was found; the body tells the size
  std::uint32_t modificationTime = 0;
  std::uint32_t permissions = 0755;  // the permission bits of the stat data mode
  std::uint32_t typeBits = 0;        // special files: the type bits of their mode
  StatDetails details;               // owner, group, times, device number
  // The entry the node shows (nullptr for the root), for its extended attributes.
  const CatalogueEntry* entry = nullptr;
  EntryState state = EntryState::Live;
  std::uint32_t links = 1;              // files: the folder entries naming the object
  NodeId parent = kRootNode;            // folders: the folder holding it
  std::uint32_t subfolders = 0;         // folders
  std::vector<DirectoryEntry> entries;  // folders: in catalogue order, names distinct
};

class MountTree {
 public:
  // names: the names are shown decoded by it (as the disk has them by default).
  MountTree(const Catalogue& catalogue, const EntryStates& states, const NameDecoder& names = {});

  // The node, or nullptr for a number that is not one.
  const MountNode* Node(NodeId id) const;
  // The entry of the folder `folder` named `name`.
  std::optional<NodeId> Lookup(NodeId folder, std::string_view name) const;
  std::size_t Count() const { return nodes_.size(); }

 private:
  std::vector<MountNode> nodes_;  // node id n at n - 1
  // per folder node: indices into its entries, sorted by name, for lookups
  std::vector<std::vector<std::uint32_t>> byName_;
};

}  // namespace vantrel::mount
