#include "reiserfs/Catalogue.h"

namespace vantrel {

ObjectRecord* ObjectList::Find(std::uint32_t objectId, std::uint32_t dirId) {
  const auto found = first_.find(Key(objectId, dirId));
  return found == first_.end() ? nullptr : &records_[found->second];
}

const ObjectRecord* ObjectList::Find(std::uint32_t objectId, std::uint32_t dirId) const {
  const auto found = first_.find(Key(objectId, dirId));
  return found == first_.end() ? nullptr : &records_[found->second];
}

ObjectRecord& ObjectList::Append(ObjectRecord record) {
  first_.emplace(Key(record.objectId, record.dirId), records_.size());
  records_.push_back(std::move(record));
  return records_.back();
}

void ObjectList::Clear() {
  records_.clear();
  first_.clear();
}

void Catalogue::Clear() {
  folderList.clear();
  fileList.clear();
  objectList.Clear();
  folderCount = 0;
  fileCount = 0;
  statDataCount = 0;
  objectCount = 0;
}

namespace {

CatalogueEntry MakeEntry(std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                         std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode) {
  return {.objectId = objectId,
          .parentId = parentId,
          .name = std::string(name),
          .modificationTime = modificationTime,
          .size = size,
          .typeCode = typeCode};
}

}  // namespace

CatalogueEntry& AppendFolder(Catalogue& catalogue, std::string_view name, std::uint32_t objectId,
                             std::uint32_t parentId, std::uint32_t modificationTime, std::uint64_t size,
                             std::uint8_t typeCode) {
  return catalogue.folderList.emplace_back(MakeEntry(name, objectId, parentId, modificationTime, size, typeCode));
}

CatalogueEntry& AppendFile(Catalogue& catalogue, std::string_view name, std::uint32_t objectId, std::uint32_t parentId,
                           std::uint32_t modificationTime, std::uint64_t size, std::uint8_t typeCode) {
  return catalogue.fileList.emplace_back(MakeEntry(name, objectId, parentId, modificationTime, size, typeCode));
}

}  // namespace vantrel
