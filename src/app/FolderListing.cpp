#include "app/FolderListing.h"

#include "app/ControlIds.h"
#include "app/FolderRows.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel {

namespace {

// The rows the wizard reads back (saving, opening a row) in the order the list shows them.
void KeepListedRows(WizardState& state, const FolderRows& rows) {
  state.shownFolder.entries.resize(rows.Count());
  for (std::size_t row = 0; row < rows.Count(); ++row) state.shownFolder.entries[row] = rows.Listed(row);
}

}  // namespace

void ShowFolder(WizardState& state, std::uint32_t key) {
  const Catalogue& catalogue = state.catalogue;
  const FolderContents contents = ContentsOfFolder(catalogue, LayOutFolders(catalogue), key);
  auto rows = std::make_shared<FolderRows>(ShownNames(state.saving.options));
  for (const std::size_t i : contents.folders) rows->AddFolder(catalogue, catalogue.folderList[i], i);
  for (const std::size_t i : contents.files) rows->AddFile(catalogue, catalogue.fileList[i], i);
  KeepListedRows(state, *rows);
  state.shownFolder.rows = rows;
  state.Window().ListSetRowSource(control::kDetailsList, std::move(rows));
}

bool SortFolderRows(WizardState& state, std::size_t column, bool descending) {
  if (!state.shownFolder.rows) return false;
  std::shared_ptr<const FolderRows> sorted = state.shownFolder.rows->SortedBy(column, descending);
  KeepListedRows(state, *sorted);
  state.shownFolder.rows = sorted;
  state.Window().ListSetRowSource(control::kDetailsList, std::move(sorted), static_cast<int>(column), descending);
  return true;
}

}  // namespace vantrel
