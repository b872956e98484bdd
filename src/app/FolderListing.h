#pragma once
// The catalogue rows of list 1001: a folder's sub-folders, then its files, with the
// columns Name, Type, Size, Date, Time and ID.

#include <array>
#include <cstdint>
#include <string>

#include "app/TreeModel.h"

namespace vantrel {

struct WizardState;
struct Catalogue;
struct CatalogueEntry;

inline constexpr const char* kFolderTypeText = "Folder";
inline constexpr int kFolderRowImage = 1;
inline constexpr int kFileRowImage = 19;

enum CatalogueColumn : std::size_t { kNameColumn = 0, kTypeColumn, kSizeColumn, kDateColumn, kTimeColumn, kIdColumn };

// The type text of a file entry's typeCode.
std::string FileTypeText(std::uint8_t typeCode);

// The six cells of a row. A folder row's ID is its tree item, a file row's its objectId.
std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder,
                                          TreeItemHandle item);
std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file);

// Clears list 1001 and fills it with the rows of the folder whose entries have parentId
// key (2 is the root folder; the "Lost" key also lists the files whose parent folder is
// not in the catalogue).
void ShowFolder(WizardState& state, std::uint32_t key);

}  // namespace vantrel
