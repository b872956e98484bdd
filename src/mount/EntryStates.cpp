#include "mount/EntryStates.h"

namespace vantrel::mount {

const char* EntryStateText(EntryState state) {
  switch (state) {
    case EntryState::Live: return "live";
    case EntryState::Deleted: return "deleted";
    case EntryState::Found: return "found";
  }
  return "live";
}

EntryStates::EntryStates(const Catalogue& live) : allLive_(false) {
  for (const auto* list : {&live.folderList, &live.fileList})
    for (const CatalogueEntry& entry : *list) live_.insert(KeyOf(live, entry));
}

std::string EntryStates::KeyOf(const Catalogue& catalogue, const CatalogueEntry& entry) {
  return (std::to_string(entry.parentId) + ' ' + std::to_string(entry.objectId) + ' ').append(catalogue.Name(entry));
}

EntryState EntryStates::StateOf(const Catalogue& catalogue, const CatalogueEntry& entry) const {
  if (entry.objectId == kLostFolderId && entry.parentId == 0) return EntryState::Live;  // "Lost" itself
  // An entry the build marked deleted is not on the live tree, whatever shares its key there.
  const bool marked = entry.typeCode == kDeletedTypeCode;
  if (!marked && (allLive_ || live_.contains(KeyOf(catalogue, entry)))) return EntryState::Live;
  // A record that no folder entry ever named keeps the name the build made up for it.
  if (entry.folderId == 0 && catalogue.Name(entry).starts_with("FOUND")) return EntryState::Found;
  return EntryState::Deleted;
}

}  // namespace vantrel::mount
