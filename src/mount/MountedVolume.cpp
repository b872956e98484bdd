#include "mount/MountedVolume.h"

#include <cerrno>
#include <vector>

#include "reiserfs/catalogue/FolderLayout.h"
#include "saving/SmallBody.h"

namespace vantrel::mount {

namespace {

// Contents kept at once; beyond it they are all let go (those being read stay alive with
// their readers) and gathered again when next used.
constexpr std::size_t kMostKeptContents = 65536;

}  // namespace

MountedVolume::MountedVolume(const PartitionSource& partition, Catalogue catalogue, BodySource source,
                             const EntryStates& states, bool strict, const NameDecoder& names)
    : partition_(partition),
      catalogue_(std::move(catalogue)),
      tree_(catalogue_, states, names),
      strict_(strict),
      readBlocks_(partition_.disk, partition_.startSector, catalogue_.currentSuperblock),
      collector_(partition_, catalogue_, source),
      attributeFiles_(catalogue_, LayOutFolders(catalogue_)),
      readFailed_(std::make_unique<std::atomic<bool>[]>(tree_.Count() + 1)) {
  readBlocks_.UseLoggedCopies(catalogue_.journal.copies);
}

std::shared_ptr<const FileContent> MountedVolume::Content(NodeId id) {
  const MountNode* node = tree_.Node(id);
  if (node == nullptr || node->kind == NodeKind::Folder) return nullptr;
  {
    std::lock_guard lock(contentMutex_);
    if (const auto found = contents_.find(id); found != contents_.end()) return found->second;
  }
  FileBody body;
  {
    std::lock_guard lock(collectMutex_);
    body = collector_.Collect(node->objectId, node->dirId);
  }
  std::uint64_t size = node->size;
  if (!node->sizeKnown) {
    // No stat data: the file reaches as far as its items do.
    size = 0;
    for (const BlockPointer& p : body.blocks)
      size = std::max<std::uint64_t>(size, p.position + readBlocks_.BlockSize());
    for (const TailBytes& t : body.tails) size = std::max<std::uint64_t>(size, t.position + t.bytes.size());
  }
  auto content = std::make_shared<const FileContent>(body, size, readBlocks_.Usable() ? readBlocks_.BlockSize() : 0,
                                                     readBlocks_.Usable() ? readBlocks_.BlockCount() : 0);
  std::lock_guard lock(contentMutex_);
  if (contents_.size() >= kMostKeptContents) contents_.clear();
  return contents_.try_emplace(id, std::move(content)).first->second;
}

std::uint64_t MountedVolume::SizeOf(NodeId id) {
  const MountNode* node = tree_.Node(id);
  if (node == nullptr) return 0;
  if (node->sizeKnown) return node->size;
  const auto content = Content(id);
  return content ? content->Size() : 0;
}

bool MountedVolume::Damaged(NodeId id) {
  const auto content = Content(id);
  if (!content) return false;
  return content->KnownDamaged() || readFailed_[id].load();
}

VolumeRead MountedVolume::Read(NodeId id, std::uint64_t offset, std::span<std::byte> out) {
  const auto content = Content(id);
  if (!content) return {EISDIR, 0};
  const ContentRead read = content->Read(readBlocks_, offset, out);
  if (read.damaged) {
    readFailed_[id].store(true);
    if (strict_) return {EIO, 0};
  }
  return {0, read.length};
}

std::optional<std::string> MountedVolume::LinkTarget(NodeId id) {
  const auto content = Content(id);
  if (!content) return std::nullopt;
  std::vector<std::byte> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(content->Size(), kMostLinkBytes)));
  const ContentRead read = content->Read(readBlocks_, 0, bytes);
  if (read.damaged && strict_) return std::nullopt;
  std::string target(reinterpret_cast<const char*>(bytes.data()), read.length);
  // A NUL from a damaged body would end the target early anyway.
  if (const auto nul = target.find('\0'); nul != std::string::npos) target.resize(nul);
  return target;
}

EntryAttributes MountedVolume::ExtendedAttributes(NodeId id) {
  const MountNode* node = tree_.Node(id);
  if (node == nullptr || node->entry == nullptr || attributeFiles_.Of(*node->entry).empty()) return {};
  std::lock_guard lock(collectMutex_);
  return ReadEntryAttributes(collector_, catalogue_, attributeFiles_, *node->entry);
}

}  // namespace vantrel::mount
