#include "saving/AttributeValues.h"

#include "saving/SmallBody.h"

namespace vantrel {

EntryAttributes ReadEntryAttributes(BodyCollector& bodies, const Catalogue& catalogue, const AttributeFiles& files,
                                    const CatalogueEntry& entry) {
  EntryAttributes read;
  for (const std::uint32_t place : files.Of(entry)) {
    const CatalogueEntry& file = catalogue.fileList[place];
    const std::string_view name = catalogue.Name(file);
    if (file.size > kMostAttributeBytes + kStoredAttributeHeader) {
      ++read.unreadable;
      continue;
    }
    const SmallBody body = ReadSmallBody(bodies.Blocks(), bodies.Collect(file.objectId, file.parentId), file.size,
                                         kMostAttributeBytes + kStoredAttributeHeader);
    const auto value = body.damaged ? std::nullopt : StoredAttributeValue(body.bytes);
    if (!value) {
      ++read.unreadable;
      continue;
    }
    if (IsAclName(name)) {
      auto acl = PosixAclValue(*value);
      if (!acl) {
        ++read.unreadable;
        continue;
      }
      read.attributes.push_back({std::string(name), std::move(*acl)});
    } else {
      read.attributes.push_back({std::string(name), std::vector<std::byte>(value->begin(), value->end())});
    }
  }
  return read;
}

}  // namespace vantrel
