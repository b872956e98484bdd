#include "reiserfs/format/ItemDispatch.h"

namespace vantrel {

namespace {

bool IsDotEntry(std::string_view name) { return name == "." || name == ".."; }

}  // namespace

void ForEachDirEntry(ByteSpan body,
                     const std::function<void(std::uint32_t, std::uint32_t, std::string_view)>& fn) {
  // Names are packed from the end of the body towards the headers: entry i's name runs
  // from its location to the start of entry i - 1's name.
  std::size_t end = body.size();
  for (std::size_t i = 0; kDirEntryHeaderSize * (i + 1) <= end; ++i) {
    const std::size_t header = kDirEntryHeaderSize * i;
    const std::uint32_t dirId = ReadU32(body, header + 4);
    const std::uint32_t objectId = ReadU32(body, header + 8);
    const std::size_t location = ReadU16(body, header + 12);
    if (location > end || location < header + kDirEntryHeaderSize) return;
    if (end - location > kMaxEntryNameLength) return;
    const auto span = body.subspan(location, end - location);
    std::size_t length = 0;
    while (length < span.size() && span[length] != std::byte{0}) ++length;
    fn(objectId, dirId, std::string_view(reinterpret_cast<const char*>(span.data()), length));
    end = location;
  }
}

void DispatchItem(const TreeKey& key, ByteSpan body, ItemConsumer& consumer, bool deliverDirect) {
  switch (key.type) {
    case kIndirectType:
      consumer.OnIndirect(key, body);
      return;
    case kDirectType:
      if (deliverDirect) consumer.OnDirect(key, body);
      return;
    case kStatDataType:
      if (const auto data = DecodeStatData(body)) consumer.OnStatData(key.objectId, key.dirId, *data);
      return;
    case kDirectoryType:
      ForEachDirEntry(body, [&](std::uint32_t objectId, std::uint32_t dirId, std::string_view name) {
        if (!IsDotEntry(name)) consumer.OnDirEntry(objectId, dirId, name);
      });
      return;
    default:
      return;
  }
}

}  // namespace vantrel
