#include "reiserfs/catalogue/Catalogue.h"

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

void ObjectList::Prefetch(std::uint32_t objectId, std::uint32_t dirId) const {
  if (!index_.empty()) __builtin_prefetch(&index_[HashIds(objectId, dirId) & (index_.size() - 1)]);
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

// A counting sort, stable and linear: each record's place in the new list follows from the
// pieces it had and those staged for it, and the staged pieces are then dealt out in the
// order they came. Pieces staged for a record that is not in the list are dropped.
void ObjectList::GroupPieces() {
  if (staged_.empty()) return;
  const std::size_t count = records_.size();
  // Per record, its staged body and tail pieces; then where the next of each goes.
  std::vector<std::uint32_t, LargePageAllocator<std::uint32_t>> next(count * 2, 0);
  for (const StagedPiece& staged : staged_)
    if (staged.record < count) ++next[staged.record * 2 + (staged.tail ? 1 : 0)];
  // Every piece grouped before belongs to a record.
  std::size_t total = pieces_.size();
  for (const std::uint32_t staged : next) total += staged;
  std::vector<BodyPiece, LargePageAllocator<BodyPiece>> grouped(total);
  std::uint32_t at = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ObjectRecord& record = records_[i];
    // Its pieces from before, then room for the staged ones, whose first place `slot` keeps.
    const auto take = [&](std::uint32_t& first, std::uint32_t& pieces, std::uint32_t& slot) {
      const std::uint32_t staged = slot;
      std::copy_n(pieces_.begin() + first, pieces, grouped.begin() + at);
      first = at;
      slot = at + pieces;
      pieces += staged;
      at += pieces;
    };
    take(record.firstPiece, record.pieceCount, next[i * 2]);
    take(record.firstTailPiece, record.tailPieceCount, next[i * 2 + 1]);
  }
  for (const StagedPiece& staged : staged_)
    if (staged.record < count) grouped[next[staged.record * 2 + (staged.tail ? 1 : 0)]++] = staged.piece;
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
  stopped = false;
  journal = {};
  leafBlocks.clear();
  leafBlocks.shrink_to_fit();
}

std::size_t Catalogue::MemoryBytes() const {
  return folderList.MemoryBytes() + fileList.MemoryBytes() + objectList.MemoryBytes() + names.MemoryBytes() +
         leafBlocks.capacity() * sizeof(std::uint32_t);
}

namespace {

CatalogueEntry& Append(Catalogue& catalogue, EntryList& list, std::string_view name, std::uint32_t objectId,
                       std::uint32_t parentId, std::uint32_t modificationTime, std::uint64_t size,
                       std::uint8_t typeCode) {
  return list.push_back({.objectId = objectId,
                         .parentId = parentId,
                         .modificationTime = modificationTime,
                         .details = {},
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
