#include "reiserfs/catalogue/LoggedStatData.h"

#include <unordered_map>

namespace vantrel {

namespace {

std::uint64_t KeyOf(std::uint32_t dirId, std::uint32_t objectId) { return std::uint64_t{dirId} << 32 | objectId; }

struct Stat {
  std::uint32_t mode = kNotSeen;
  StatDetails details;
};

}  // namespace

void TakeStatDataFromLiveTree(Catalogue& logged, const Catalogue* live) {
  std::unordered_map<std::uint64_t, Stat> stats;
  if (live != nullptr)
    for (const auto* list : {&live->folderList, &live->fileList})
      for (const CatalogueEntry& entry : *list)
        if (entry.mode != kNotSeen) stats[KeyOf(entry.parentId, entry.objectId)] = {entry.mode, entry.details};
  for (const ObjectRecord& record : logged.objectList.Records())
    if (record.mode != kNotSeen && record.mode != 0) stats[KeyOf(record.dirId, record.objectId)].mode = record.mode;
  for (auto* list : {&logged.folderList, &logged.fileList})
    for (CatalogueEntry& entry : *list) {
      if (entry.mode != kNotSeen) continue;
      const auto found = stats.find(KeyOf(entry.parentId, entry.objectId));
      if (found == stats.end()) continue;
      entry.mode = found->second.mode;
      entry.details = found->second.details;
    }
}

}  // namespace vantrel
