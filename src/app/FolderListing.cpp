#include "app/FolderListing.h"

#include <array>

#include "app/ControlIds.h"
#include "app/FolderRows.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/EntryTimeText.h"
#include "reiserfs/catalogue/FolderLayout.h"

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
  return {std::string(name),           std::move(type),
          std::to_string(size),        EntryDateText(modificationTime),
          EntryTimeText(modificationTime), std::to_string(id)};
}

std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder,
                                          TreeItemHandle item) {
  return CatalogueRowCells(catalogue.Name(folder), kFolderTypeText, folder.size, folder.modificationTime, item);
}

std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file) {
  return CatalogueRowCells(catalogue.Name(file), FileTypeText(file.typeCode), file.size, file.modificationTime,
                           file.objectId);
}

namespace {

// The rows the wizard reads back (saving, opening a row) in the order the list shows them.
void KeepListedRows(WizardState& state, const FolderRows& rows) {
  state.listedRows.resize(rows.Count());
  for (std::size_t row = 0; row < rows.Count(); ++row) state.listedRows[row] = rows.Listed(row);
}

}  // namespace

void ShowFolder(WizardState& state, std::uint32_t key) {
  const Catalogue& catalogue = state.catalogue;
  const FolderContents contents = ContentsOfFolder(catalogue, LayOutFolders(catalogue.folderList), key);
  auto rows = std::make_shared<FolderRows>(ShownNames(state.savingOptions));
  for (const std::size_t i : contents.folders) rows->AddFolder(catalogue, catalogue.folderList[i], i, state.marks.ItemOf(i));
  for (const std::size_t i : contents.files) rows->AddFile(catalogue, catalogue.fileList[i], i);
  KeepListedRows(state, *rows);
  state.shownRows = rows;
  state.Window().ListSetRowSource(control::kDetailsList, std::move(rows));
}

bool SortFolderRows(WizardState& state, std::size_t column, bool descending) {
  if (!state.shownRows) return false;
  std::shared_ptr<const FolderRows> sorted = state.shownRows->SortedBy(column, descending);
  KeepListedRows(state, *sorted);
  state.shownRows = sorted;
  state.Window().ListSetRowSource(control::kDetailsList, std::move(sorted), static_cast<int>(column), descending);
  return true;
}

}  // namespace vantrel
