#include "reiserfs/Catalogue.h"

#include <algorithm>

namespace vantrel {

namespace {

std::uint64_t HashIds(std::uint32_t objectId, std::uint32_t dirId) {
  std::uint64_t x = (std::uint64_t{objectId} << 32) | dirId;
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  return x;
}

}  // namespace

std::size_t ObjectList::SlotOf(std::uint64_t hash, std::uint32_t objectId, std::uint32_t dirId) const {
  const std::size_t mask = index_.size() - 1;
  const std::uint64_t tag = hash & kTagBits;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const std::uint64_t slot = index_[at];
    if (slot == 0) return at;
    if ((slot & kTagBits) != tag) continue;
    const ObjectRecord& record = records_[RecordOf(slot)];
    if (record.objectId == objectId && record.dirId == dirId) return at;
  }
}

std::size_t ObjectList::SlotOf(std::uint32_t objectId, std::uint32_t dirId) const {
  return SlotOf(HashIds(objectId, dirId), objectId, dirId);
}

void ObjectList::Index(std::size_t record) {
  const ObjectRecord& ids = records_[record];
  const std::uint64_t hash = HashIds(ids.objectId, ids.dirId);
  std::uint64_t& slot = index_[SlotOf(hash, ids.objectId, ids.dirId)];
  if (slot == 0) slot = (hash & kTagBits) | (record + 1);
}

void ObjectList::GrowIndex() {
  index_.assign(std::max<std::size_t>(16, index_.size() * 2), 0);
  for (std::size_t i = 0; i < records_.size(); ++i) Index(i);
}

ObjectRecord* ObjectList::Find(std::uint32_t objectId, std::uint32_t dirId) {
  if (index_.empty()) return nullptr;
  const std::uint64_t slot = index_[SlotOf(objectId, dirId)];
  return slot == 0 ? nullptr : &records_[RecordOf(slot)];
}

const ObjectRecord* ObjectList::Find(std::uint32_t objectId, std::uint32_t dirId) const {
  if (index_.empty()) return nullptr;
  const std::uint64_t slot = index_[SlotOf(objectId, dirId)];
  return slot == 0 ? nullptr : &records_[RecordOf(slot)];
}

ObjectRecord& ObjectList::Append(ObjectRecord record, std::string_view name) {
  if ((records_.size() + 1) * 2 > index_.size()) GrowIndex();
  record.name = names_.Add(name);
  record.firstPiece = record.firstTailPiece = static_cast<std::uint32_t>(pieces_.size());
  record.pieceCount = record.tailPieceCount = 0;
  record.place = static_cast<std::uint32_t>(records_.size());
  ObjectRecord& added = records_.push_back(record);
  Index(records_.size() - 1);
  return added;
}

void ObjectList::Rename(ObjectRecord& record, std::string_view name) {
  if (Name(record) != name) record.name = names_.Add(name);
}

std::size_t ObjectList::IndexOf(const ObjectRecord& record) const {
  if (record.place < records_.size() && &records_[record.place] == &record) return record.place;
  return records_.size();
}

void ObjectList::Stage(const ObjectRecord& record, const BodyPiece& piece, bool tail) {
  staged_.push_back({static_cast<std::uint32_t>(IndexOf(record)), tail, piece});
}

void ObjectList::GroupPieces() {
  if (staged_.empty()) return;
  std::stable_sort(staged_.begin(), staged_.end(), [](const StagedPiece& a, const StagedPiece& b) {
    return a.record != b.record ? a.record < b.record : a.tail < b.tail;
  });
  std::vector<BodyPiece> grouped;
  grouped.reserve(pieces_.size() + staged_.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    ObjectRecord& record = records_[i];
    const auto take = [&](std::uint32_t first, std::uint32_t count, bool tail) {
      const auto begin = static_cast<std::uint32_t>(grouped.size());
      grouped.insert(grouped.end(), pieces_.begin() + first, pieces_.begin() + first + count);
      for (; next < staged_.size() && staged_[next].record == i && staged_[next].tail == tail; ++next)
        grouped.push_back(staged_[next].piece);
      return std::pair{begin, static_cast<std::uint32_t>(grouped.size() - begin)};
    };
    std::tie(record.firstPiece, record.pieceCount) = take(record.firstPiece, record.pieceCount, false);
    std::tie(record.firstTailPiece, record.tailPieceCount) = take(record.firstTailPiece, record.tailPieceCount, true);
  }
  pieces_ = std::move(grouped);
  staged_.clear();
  staged_.shrink_to_fit();
}

std::span<const BodyPiece> ObjectList::Pieces(const ObjectRecord& record) const {
  return std::span(pieces_).subspan(record.firstPiece, record.pieceCount);
}

std::span<const BodyPiece> ObjectList::TailPieces(const ObjectRecord& record) const {
  return std::span(pieces_).subspan(record.firstTailPiece, record.tailPieceCount);
}

std::span<BodyPiece> ObjectList::PiecesToFill(const ObjectRecord& record) {
  return std::span(pieces_).subspan(record.firstPiece, record.pieceCount);
}

void ObjectList::Clear() {
  records_.clear();
  names_.Clear();
  index_.clear();
  index_.shrink_to_fit();
  pieces_.clear();
  pieces_.shrink_to_fit();
  staged_.clear();
  staged_.shrink_to_fit();
}

std::size_t ObjectList::MemoryBytes() const {
  return records_.MemoryBytes() + names_.MemoryBytes() + index_.capacity() * sizeof(std::uint64_t) +
         pieces_.capacity() * sizeof(BodyPiece) + staged_.capacity() * sizeof(StagedPiece);
}

void Catalogue::Clear() {
  folderList.clear();
  fileList.clear();
  objectList.Clear();
  names.Clear();
  folderCount = 0;
  fileCount = 0;
  statDataCount = 0;
  objectCount = 0;
}

std::size_t Catalogue::MemoryBytes() const {
  return folderList.MemoryBytes() + fileList.MemoryBytes() + objectList.MemoryBytes() + names.MemoryBytes();
}

namespace {

CatalogueEntry& Append(Catalogue& catalogue, EntryList& list, std::string_view name, std::uint32_t objectId,
                       std::uint32_t parentId, std::uint32_t modificationTime, std::uint64_t size,
                       std::uint8_t typeCode) {
  return list.push_back({.objectId = objectId,
                         .parentId = parentId,
                         .modificationTime = modificationTime,
                         .name = catalogue.names.Add(name),
                         .typeCode = typeCode,
                         .size = size});
}

}  // namespace

CatalogueEntry& AppendFolder(Catalogue& catalogue, std::string_view name, std::uint32_t objectId,
                             std::uint32_t parentId, std::uint32_t modificationTime, std::uint64_t size,
                             std::uint8_t typeCode) {
  return Append(catalogue, catalogue.folderList, name, objectId, parentId, modificationTime, size, typeCode);
}

CatalogueEntry& AppendFile(Catalogue& catalogue, std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                           std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode) {
  return Append(catalogue, catalogue.fileList, name, objectId, parentId, modificationTime, size, typeCode);
}

}  // namespace vantrel
