#pragma once
// The six cells of a catalogue row in list 1001 (Name, Type, Size, Date, Time and ID), for a
// folder or a file entry.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/TreeModel.h"

namespace vantrel {

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

}  // namespace vantrel
