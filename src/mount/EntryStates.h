#pragma once
// Whether a catalogue entry is on the live tree, was deleted (or lost to a reformat), or
// was found with no name at all. An advanced build finds all three; the live tree is told
// by a quick build of the same partition: an entry of it has the same key and name.

#include <cstdint>
#include <string>
#include <unordered_set>

#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel::mount {

enum class EntryState { Live, Deleted, Found };

const char* EntryStateText(EntryState state);

class EntryStates {
 public:
  // Every entry is live: the catalogue is the live tree itself.
  EntryStates() = default;
  // Entries of `live` are live, others deleted or found.
  explicit EntryStates(const Catalogue& live);

  // The state of an entry of catalogue.
  EntryState StateOf(const Catalogue& catalogue, const CatalogueEntry& entry) const;

 private:
  static std::string KeyOf(const Catalogue& catalogue, const CatalogueEntry& entry);

  bool allLive_ = true;
  std::unordered_set<std::string> live_;
};

}  // namespace vantrel::mount
