#include "app/CatalogueRowCells.h"

#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/catalogue/EntryTimeText.h"

namespace vantrel {

std::string FileTypeText(std::uint8_t typeCode) {
  switch (typeCode) {
    case 1: return "Regular FILE";
    case 3: return "Character Device FILE";
    case 4: return "Block Device File";
    case 6: return "Socket File";
    case 7: return "Symbolic File";
    case 8: return "Deleted FILE";
    default: return "FILE";
  }
}

std::array<std::string, 6> CatalogueRowCells(std::string_view name, std::string type, std::uint64_t size,
                                             std::uint32_t modificationTime, std::uint64_t id) {
  return {std::string(name),
          std::move(type),
          std::to_string(size),
          EntryDateText(modificationTime),
          EntryTimeText(modificationTime),
          std::to_string(id)};
}

std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder,
                                          TreeItemHandle item) {
  return CatalogueRowCells(catalogue.Name(folder), kFolderTypeText, folder.size, folder.modificationTime, item);
}

std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file) {
  return CatalogueRowCells(catalogue.Name(file), FileTypeText(file.typeCode), file.size, file.modificationTime,
                           file.objectId);
}

}  // namespace vantrel
