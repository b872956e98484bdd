#pragma once
// A catalogue entry as a row of six cells: Name, Type, Size, Date, Time and ID, as the
// folder list and the console's listing of a folder show it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

inline constexpr const char* kFolderTypeText = "Folder";

enum CatalogueColumn : std::size_t { kNameColumn = 0, kTypeColumn, kSizeColumn, kDateColumn, kTimeColumn, kIdColumn };

// The type text of a file entry's typeCode.
std::string FileTypeText(std::uint8_t typeCode);

// The six cells of a row: the name, the type text, the size, the modification date and time,
// and the ID. A folder row's ID is the one its list gives it (the window: its tree item), a file row's
// its objectId.
std::array<std::string, 6> CatalogueRowCells(std::string_view name, std::string type, std::uint64_t size,
                                             std::uint32_t modificationTime, std::uint64_t id);
std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder, std::uint64_t id);
std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file);

}  // namespace vantrel
