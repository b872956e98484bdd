#pragma once
// The catalogue rows of list 1001: a folder's sub-folders, then its files, with the
// columns Name, Type, Size, Date, Time and ID.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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

// The six cells of a row: the name, the type text, the size, the modification date and time,
// and the ID. A folder row's ID is its tree item, a file row's its objectId.
std::array<std::string, 6> CatalogueRowCells(std::string_view name, std::string type, std::uint64_t size,
                                             std::uint32_t modificationTime, std::uint64_t id);
std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder,
                                          TreeItemHandle item);
std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file);

// Clears list 1001 and fills it with the rows of the folder whose entries have parentId
// key (2 is the root folder; the "Lost" key also lists the files whose parent folder is
// not in the catalogue). The rows are made as the list shows them.
void ShowFolder(WizardState& state, std::uint32_t key);

// Orders the rows of the folder shown by a column (a click on its heading): folders first,
// then files, each by the column's values. False when the list shows no folder.
bool SortFolderRows(WizardState& state, std::size_t column, bool descending);

}  // namespace vantrel
