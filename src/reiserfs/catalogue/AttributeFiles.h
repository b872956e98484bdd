#pragma once
// Where the extended attributes of each object lie in the catalogue: the files of the
// folders of an "xattrs" folder (see reiserfs/format/StoredAttribute.h), by the object they
// belong to. Deleted objects keep theirs where the build found them.

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/format/StoredAttribute.h"

namespace vantrel {

class AttributeFiles {
 public:
  AttributeFiles() = default;
  AttributeFiles(const Catalogue& catalogue, const FolderLayout& layout);

  // The attribute files (places in the catalogue's fileList, each named as its attribute)
  // of the entry's object; none when it has none.
  std::span<const std::uint32_t> Of(const CatalogueEntry& entry) const;
  bool Empty() const { return byObject_.empty(); }

 private:
  struct Folder {
    std::uint32_t generation = 0;
    std::vector<std::uint32_t> files;
  };
  std::unordered_map<std::uint32_t, std::vector<Folder>> byObject_;  // by object id
};

// The generation an object's attribute folder is named with: the stat data's for objects of
// the 3.6 layout but device nodes, whose word holds the device number, and their directory
// id for those and for the 3.5 layout (which keeps no generation).
bool AttributeFolderFits(const CatalogueEntry& entry, std::uint32_t generation);

}  // namespace vantrel
