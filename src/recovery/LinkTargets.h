#pragma once
// Symbolic link targets of a chosen catalogue, read from the disk when the first link is met
// (listings show them beside the link).

#include <optional>
#include <string>

#include "recovery/ChosenCatalogue.h"
#include "saving/FileBody.h"

namespace vantrel {

class LinkTargets {
 public:
  explicit LinkTargets(const ChosenCatalogue& chosen) : chosen_(chosen) {}
  // The target of a link entry; nothing when its body is damaged.
  std::optional<std::string> Of(const CatalogueEntry& link);

 private:
  const ChosenCatalogue& chosen_;
  std::optional<BodyCollector> bodies_;
};

}  // namespace vantrel
