#pragma once
// What a leaf item holds: stat data, directory entries, or a file's body (indirect block
// numbers or a direct tail). DispatchItem classifies one item and hands its decoded
// content to the consumer of the current search.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "base/LittleEndian.h"
#include "reiserfs/format/StatData.h"
#include "reiserfs/format/TreeKey.h"

namespace vantrel {

// Directory entry names are copied into 512-byte buffers, so a name has at most 511 bytes.
inline constexpr std::size_t kMaxEntryNameLength = 511;
inline constexpr std::size_t kDirEntryHeaderSize = 16;

// The consumer operations of a search; each build or collection overrides what it uses.
class ItemConsumer {
 public:
  virtual ~ItemConsumer() = default;
  // objectId and dirId from the item key.
  virtual void OnStatData(std::uint32_t /*objectId*/, std::uint32_t /*dirId*/, const StatData& /*data*/) {}
  // objectId and dirId from the entry header; "." and ".." are never delivered.
  virtual void OnDirEntry(std::uint32_t /*objectId*/, std::uint32_t /*dirId*/, std::string_view /*name*/) {}
  virtual void OnIndirect(const TreeKey& /*key*/, ByteSpan /*body*/) {}
  virtual void OnDirect(const TreeKey& /*key*/, ByteSpan /*body*/) {}
};

// Calls fn(objectId, dirId, name) for each entry of a directory item body, "." and ".."
// included. Entries are read while their header and name lie inside the body; the walk
// ends at the first entry whose name span is negative, longer than 511 bytes or overlaps
// the headers, keeping the entries before it.
void ForEachDirEntry(ByteSpan body,
                     const std::function<void(std::uint32_t, std::uint32_t, std::string_view)>& fn);

// Indirect items go to OnIndirect; direct items to OnDirect when deliverDirect is set;
// stat data items (type 0 of 44 or 32 bytes) to OnStatData; directory items to
// OnDirEntry for each entry but "." and "..". Anything else is ignored. The length alone
// never makes an item of another type stat data.
void DispatchItem(const TreeKey& key, ByteSpan body, ItemConsumer& consumer, bool deliverDirect);

}  // namespace vantrel
