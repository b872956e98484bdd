// libFuzzer target: any bytes as one tree node. Every header, key, child pointer and item
// is decoded and every item dispatched; what the decoders hand out must lie inside the
// node, and is touched at both ends so that a span beyond it is caught.

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "base/LittleEndian.h"
#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/format/TreeKey.h"
#include "reiserfs/format/TreeNode.h"

using namespace vantrel;

namespace {

volatile std::uint32_t sink;

// Reads the first and the last byte: a span that runs past the node (whose bytes end
// where the input ends) is caught at its last byte.
void Touch(ByteSpan bytes) {
  if (bytes.empty()) return;
  sink = std::to_integer<std::uint8_t>(bytes.front()) + std::to_integer<std::uint8_t>(bytes.back());
}

class TouchingConsumer : public ItemConsumer {
 public:
  explicit TouchingConsumer(ByteSpan node) : node_(node) {}
  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    sink = objectId ^ dirId ^ data.mode ^ static_cast<std::uint32_t>(data.size);
  }
  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    if (name.size() > kMaxEntryNameLength || name == "." || name == "..") std::abort();
    Inside(ByteSpan(reinterpret_cast<const std::byte*>(name.data()), name.size()));
    sink = objectId ^ dirId;
  }
  void OnIndirect(const TreeKey& key, ByteSpan body) override {
    Inside(body);
    sink = key.objectId;
  }
  void OnDirect(const TreeKey& key, ByteSpan body) override {
    Inside(body);
    sink = key.objectId;
  }

 private:
  void Inside(ByteSpan part) {
    if (!part.empty() && (part.data() < node_.data() || part.data() + part.size() > node_.data() + node_.size()))
      std::abort();
    Touch(part);
  }
  ByteSpan node_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteSpan node(reinterpret_cast<const std::byte*>(data), size);
  const NodeHeader header = ReadNodeHeader(node);
  if (header.level != kLeafLevel) {
    TreeKey previous;
    // Keys and pointers beyond the node read as zeros; a few past its end are enough to test that.
    const std::size_t keys = std::min<std::size_t>(header.itemCount, size / kChildPointerSize + 2);
    for (std::size_t i = 0; i <= keys; ++i) {
      const TreeKey key = InternalKey(node, i);
      sink = static_cast<std::uint32_t>(CompareKeys(previous, key) + CompareKeysShort(previous, key));
      previous = key;
      sink = ChildBlock(node, header.itemCount, i);
    }
    return 0;
  }
  TouchingConsumer consumer(node);
  for (std::size_t i = 0; i < header.itemCount; ++i) {
    const auto item = ReadItemHeader(node, i);
    if (!item) break;
    if (item->rawKey.size() != kKeySize) std::abort();
    const auto body = ItemBody(node, *item);
    if (!body) continue;
    if (body->size() != item->length) std::abort();
    Touch(*body);
    if (const auto key = DecodeItemKey(item->rawKey, item->version)) {
      DispatchItem(*key, *body, consumer, true);
      sink = CompareKeys(*key, DecodeKey35(item->rawKey)) == 0 ? 1u : 0u;
    }
    if (const auto stat = DecodeStatData(*body)) sink = stat->modificationTime;
  }
  return 0;
}
