#include "app/FolderListing.h"

#include <array>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/EntryTimeText.h"
#include "reiserfs/FolderLayout.h"

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

std::array<std::string, 6> FolderRowCells(const Catalogue& catalogue, const CatalogueEntry& folder,
                                          TreeItemHandle item) {
  return {std::string(catalogue.Name(folder)), kFolderTypeText, std::to_string(folder.size), EntryDateText(folder.modificationTime),
          EntryTimeText(folder.modificationTime), std::to_string(item)};
}

std::array<std::string, 6> FileRowCells(const Catalogue& catalogue, const CatalogueEntry& file) {
  return {std::string(catalogue.Name(file)), FileTypeText(file.typeCode), std::to_string(file.size), EntryDateText(file.modificationTime),
          EntryTimeText(file.modificationTime), std::to_string(file.objectId)};
}

namespace {

void InsertRow(WindowPort& window, const std::array<std::string, 6>& cells, int image) {
  const std::size_t row = window.ListInsertRow(control::kDetailsList, cells[0], image);
  for (std::size_t column = 1; column < cells.size(); ++column)
    window.ListSetCell(control::kDetailsList, row, column, cells[column]);
}

}  // namespace

void ShowFolder(WizardState& state, std::uint32_t key) {
  WindowPort& window = state.Window();
  const Catalogue& catalogue = state.catalogue;
  window.ListRemoveAllRows(control::kDetailsList);
  state.listedRows.clear();
  const FolderContents contents = ContentsOfFolder(catalogue, LayOutFolders(catalogue.folderList), key);
  for (const std::size_t i : contents.folders) {
    InsertRow(window, FolderRowCells(catalogue, catalogue.folderList[i], state.marks.ItemOf(i)), kFolderRowImage);
    state.listedRows.push_back({true, i});
  }
  for (const std::size_t i : contents.files) {
    InsertRow(window, FileRowCells(catalogue, catalogue.fileList[i]), kFileRowImage);
    state.listedRows.push_back({false, i});
  }
}

}  // namespace vantrel
