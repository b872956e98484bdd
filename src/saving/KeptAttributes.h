#pragma once
// Gives an entry a save wrote what the options keep of it, in the order that keeps it all:
// owner and group first (a change of owner clears the set-id bits), then the extended
// attributes (before a mode may make the file read-only), the mode, and the times last.
// Symbolic links are never followed: their owner and times are their own, and they have no
// mode to set. What the destination or the user's rights refuse is counted, never failed,
// and so are the owners and modes of entries whose stat data the catalogue does not hold
// (from a recovery log, where the disk's live tree no longer has them).

#include <filesystem>

#include "reiserfs/catalogue/Catalogue.h"
#include "saving/AttributeValues.h"
#include "saving/PreserveOptions.h"

namespace vantrel {

class AttributeKeeper {
 public:
  AttributeKeeper(PreserveSet preserve, NotKept& notKept) : preserve_(preserve), notKept_(notKept) {}

  // fd: the entry opened (files and folders), or -1 to reach it by path without following
  // a link (symbolic links and special files).
  void Apply(int fd, const std::filesystem::path& path, const CatalogueEntry& entry,
             const EntryAttributes* attributes) const;

  const PreserveSet& Preserve() const { return preserve_; }

 private:
  bool KeepOwner(int fd, const std::filesystem::path& path, const CatalogueEntry& entry) const;
  void KeepAttributes(int fd, const std::filesystem::path& path, const EntryAttributes& attributes) const;
  void KeepMode(int fd, const std::filesystem::path& path, const CatalogueEntry& entry, bool ownerKept) const;
  void KeepTimes(int fd, const std::filesystem::path& path, const CatalogueEntry& entry) const;

  PreserveSet preserve_;
  NotKept& notKept_;
};

}  // namespace vantrel
