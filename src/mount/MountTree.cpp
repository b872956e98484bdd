#include "mount/MountTree.h"

#include <algorithm>
#include <span>
#include <unordered_map>

#include "mount/ShownNames.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel::mount {

namespace {

// An entry on its way into a folder: its raw name and the node it names.
struct Pending {
  std::string_view name;
  NodeId node;
};

}  // namespace

MountTree::MountTree(const Catalogue& catalogue, const EntryStates& states, const NameDecoder& names) {
  const FolderLayout layout = LayOutFolders(catalogue);
  const auto& folders = catalogue.folderList;
  const auto modeOf = [](const CatalogueEntry& entry) -> std::optional<std::uint32_t> {
    if (entry.mode == kNotSeen || entry.mode == 0) return std::nullopt;
    return entry.mode;
  };
  const auto timeOf = [](const CatalogueEntry& entry) {
    return entry.modificationTime == kNotSeen ? 0u : entry.modificationTime;
  };

  nodes_.emplace_back();  // the root, key [1 2]
  if (const ObjectRecord* root = catalogue.objectList.Find(kRootFolderId, 1)) {
    if (root->modificationTime != kNotSeen) nodes_[0].modificationTime = root->modificationTime;
    if (root->mode != kNotSeen) nodes_[0].permissions = root->mode & kModePermissionBits;
    nodes_[0].details = root->details;
  }
  std::vector<std::vector<Pending>> pending(1);

  // Folders, parents before children, as the views place them.
  std::vector<NodeId> folderNode(folders.size(), 0);
  using Children = std::span<const std::size_t>;
  const auto addFolder = [&](NodeId parent, std::size_t entry) -> std::optional<NodeId> {
    const CatalogueEntry& folder = folders[entry];
    MountNode node;
    node.objectId = folder.objectId;
    node.dirId = folder.parentId;
    node.entry = &folder;
    node.modificationTime = timeOf(folder);
    if (const auto mode = modeOf(folder)) node.permissions = *mode & kModePermissionBits;
    node.details = folder.details;
    node.state = states.StateOf(catalogue, folder);
    node.parent = parent;
    nodes_.push_back(std::move(node));
    pending.emplace_back();
    folderNode[entry] = nodes_.size();
    pending[parent - 1].push_back({catalogue.Name(folder), nodes_.size()});
    ++nodes_[parent - 1].subfolders;
    return folderNode[entry];
  };
  WalkFoldersDepthFirst(
      kRootNode, Children(layout.topLevel), [&](std::size_t entry) { return Children(layout.children[entry]); },
      addFolder);

  // Files, in the first placed folder of the key they are shown in (else in "Lost", else
  // in the root), one node per object.
  std::unordered_map<std::uint32_t, NodeId> folderOfKey{{kRootFolderId, kRootNode}};
  for (std::size_t i = 0; i < folders.size(); ++i)
    if (layout.placed[i] && folderNode[i] != 0) folderOfKey.emplace(folders[i].objectId, folderNode[i]);
  const NodeId lost = layout.lostFolder ? folderNode[*layout.lostFolder] : kRootNode;
  std::unordered_map<std::uint64_t, NodeId> objectNode;
  for (const CatalogueEntry& file : catalogue.fileList) {
    if (IsHidden(file, layout)) continue;
    const auto found = folderOfKey.find(ShownIn(file, layout));
    const NodeId folder = found == folderOfKey.end() ? lost : found->second;
    const std::uint64_t key = (std::uint64_t{file.parentId} << 32) | file.objectId;
    auto [at, fresh] = objectNode.try_emplace(key, nodes_.size() + 1);
    if (fresh) {
      MountNode node;
      node.kind = NodeKind::File;
      node.objectId = file.objectId;
      node.dirId = file.parentId;
      node.entry = &file;
      node.details = file.details;
      node.sizeKnown = file.size != kNotSeen;
      node.size = node.sizeKnown ? file.size : 0;
      node.modificationTime = timeOf(file);
      node.permissions = 0644;
      if (const auto mode = modeOf(file)) {
        node.permissions = *mode & kModePermissionBits;
        const EntryKind kind = KindOfMode(*mode);
        if (kind == EntryKind::Symlink) node.kind = NodeKind::Symlink;
        if (kind == EntryKind::Fifo || kind == EntryKind::Socket || IsDeviceKind(kind)) {
          node.kind = NodeKind::Special;
          node.typeBits = *mode & kModeTypeBits;
        }
      }
      node.state = states.StateOf(catalogue, file);
      node.links = 0;
      nodes_.push_back(std::move(node));
      pending.emplace_back();
    }
    ++nodes_[at->second - 1].links;
    pending[folder - 1].push_back({catalogue.Name(file), at->second});
  }

  byName_.resize(nodes_.size());
  for (std::size_t n = 0; n < nodes_.size(); ++n) {
    if (pending[n].empty()) continue;
    std::vector<std::string_view> raw;
    raw.reserve(pending[n].size());
    std::vector<std::string> decoded;
    if (names.Converts()) {
      decoded.reserve(pending[n].size());
      for (const Pending& p : pending[n]) raw.push_back(decoded.emplace_back(names.Decode(p.name)));
    } else {
      for (const Pending& p : pending[n]) raw.push_back(p.name);
    }
    std::vector<std::string> distinct = DistinctNames(raw);
    auto& entries = nodes_[n].entries;
    entries.reserve(distinct.size());
    for (std::size_t k = 0; k < distinct.size(); ++k) entries.push_back({std::move(distinct[k]), pending[n][k].node});
    auto& index = byName_[n];
    index.resize(entries.size());
    for (std::uint32_t k = 0; k < index.size(); ++k) index[k] = k;
    std::sort(index.begin(), index.end(),
              [&](std::uint32_t a, std::uint32_t b) { return entries[a].name < entries[b].name; });
  }
}

const MountNode* MountTree::Node(NodeId id) const {
  if (id == 0 || id > nodes_.size()) return nullptr;
  return &nodes_[id - 1];
}

std::optional<NodeId> MountTree::Lookup(NodeId folder, std::string_view name) const {
  const MountNode* node = Node(folder);
  if (node == nullptr || node->kind != NodeKind::Folder) return std::nullopt;
  if (name == ".") return folder;
  if (name == "..") return node->parent;
  const auto& entries = node->entries;
  const auto& index = byName_[folder - 1];
  const auto at = std::lower_bound(index.begin(), index.end(), name,
                                   [&](std::uint32_t k, std::string_view n) { return entries[k].name < n; });
  if (at == index.end() || entries[*at].name != name) return std::nullopt;
  return entries[*at].node;
}

}  // namespace vantrel::mount
