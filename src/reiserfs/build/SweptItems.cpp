#include "reiserfs/build/SweptItems.h"

#include <algorithm>
#include <limits>

#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

std::uint64_t ObjectOf(std::uint32_t dirId, std::uint32_t objectId) { return (std::uint64_t{dirId} << 32) | objectId; }

// The keys the quick build searches from.
TreeKey StatSearchKey(const TreeKey& key) { return {key.dirId, key.objectId, 0, 0, kStatDataType}; }
TreeKey DirectorySearchKey(const TreeKey& key) { return {key.dirId, key.objectId, 1, 0, kDirectoryType}; }

}  // namespace

// Takes what DispatchItem decodes from one item into the lists.
class SweptItems::Collector : public ItemConsumer {
 public:
  Collector(SweptItems& items, std::uint64_t object) : items_(items), object_(object) {}
  void OnStatData(std::uint32_t, std::uint32_t, const StatData& data) override {
    items_.stats_.push_back({object_, data.size, data.modificationTime, data.mode, data.details});
  }
  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    items_.AddEntry(object_, objectId, dirId, name);
  }

 private:
  SweptItems& items_;
  std::uint64_t object_;
};

void SweptItems::AddLeaf(ByteSpan leaf) {
  const std::uint16_t count = ReadNodeHeader(leaf).itemCount;
  for (std::size_t i = 0; i < count; ++i) {
    const auto header = ReadItemHeader(leaf, i);
    if (!header) break;
    const auto key = DecodeItemKey(header->rawKey, header->version);
    const auto body = ItemBody(leaf, *header);
    if (!key || !body) {
      complete_ = false;  // a sweep hands over no such leaf
      continue;
    }
    // Internal nodes order the keys as they read them: in the 3.6 layout.
    const TreeKey ordered = DecodeKey36(header->rawKey);
    const std::uint64_t object = ObjectOf(key->dirId, key->objectId);
    if (!anyItem_ || object != object_) {
      object_ = object;
      anyItem_ = true;
      statRun_ = Run::NotStarted;
      directoryRun_ = Run::NotStarted;
    }
    CheckRun(statRun_, CompareKeys(ordered, StatSearchKey(*key)) >= 0, key->type == kStatDataType);
    CheckRun(directoryRun_, CompareKeys(ordered, DirectorySearchKey(*key)) >= 0, key->type == kDirectoryType);
    Collector collector(*this, object);
    DispatchItem(*key, *body, collector, false);
  }
}

// A search visits the children from the first whose key is at or past the search key and
// stops after the first child that yields nothing once one has yielded, or after two
// children past the key that yield nothing: it finds every item of its kind when they
// follow one another and the first item at or past the search key is one of them.
void SweptItems::CheckRun(Run& run, bool atOrPastSearchKey, bool ofTheKind) {
  if (!atOrPastSearchKey) {
    if (ofTheKind) complete_ = false;
    return;
  }
  if (ofTheKind) {
    if (run == Run::Closed) complete_ = false;
    run = Run::Open;
  } else {
    run = Run::Closed;
  }
}

void SweptItems::AddEntry(std::uint64_t folder, std::uint32_t objectId, std::uint32_t dirId, std::string_view name) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  if (names_.size() + name.size() > kMost || entries_.size() >= kMost) {
    complete_ = false;
    return;
  }
  if (folders_.empty() || folders_.back().object != folder)
    folders_.push_back({folder, static_cast<std::uint32_t>(entries_.size()), 0});
  ++folders_.back().entryCount;
  entries_.push_back(
      {objectId, dirId, static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(name.size())});
  names_.append(name);
}

void SweptItems::Deliver(const TreeKey& search, ItemConsumer& consumer) const {
  const std::uint64_t object = ObjectOf(search.dirId, search.objectId);
  if (search.type == kStatDataType) {
    auto stat = std::lower_bound(stats_.begin(), stats_.end(), object,
                                 [](const Stat& s, std::uint64_t o) { return s.object < o; });
    for (; stat != stats_.end() && stat->object == object; ++stat)
      consumer.OnStatData(search.objectId, search.dirId,
                          {stat->mode, stat->size, stat->modificationTime, stat->details});
  } else if (search.type == kDirectoryType) {
    const auto folder = std::lower_bound(folders_.begin(), folders_.end(), object,
                                         [](const Folder& f, std::uint64_t o) { return f.object < o; });
    if (folder == folders_.end() || folder->object != object) return;
    for (std::uint32_t k = 0; k < folder->entryCount; ++k) {
      const Entry& entry = entries_[folder->firstEntry + k];
      consumer.OnDirEntry(entry.objectId, entry.dirId, std::string_view(names_).substr(entry.nameAt, entry.nameLength));
    }
  }
}

}  // namespace vantrel
