#pragma once
// The extended attributes of an entry with their values, read from the files the file
// system keeps them in, ACLs turned into the values of the system's posix_acl xattrs.

#include <cstdint>
#include <string>
#include <vector>

#include "reiserfs/catalogue/AttributeFiles.h"
#include "saving/FileBody.h"

namespace vantrel {

struct ExtendedAttribute {
  std::string name;
  std::vector<std::byte> value;
};

struct EntryAttributes {
  std::vector<ExtendedAttribute> attributes;
  std::uint32_t unreadable = 0;  // attribute files damaged, too large, or of a form not known
};

EntryAttributes ReadEntryAttributes(BodyCollector& bodies, const Catalogue& catalogue, const AttributeFiles& files,
                                    const CatalogueEntry& entry);

}  // namespace vantrel
