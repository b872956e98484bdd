#include "recovery/LinkTargets.h"

#include "saving/SmallBody.h"

namespace vantrel {

std::optional<std::string> LinkTargets::Of(const CatalogueEntry& link) {
  if (!bodies_) bodies_.emplace(chosen_.partition, chosen_.catalogue, chosen_.source);
  return ReadLinkTarget(*bodies_, link);
}

}  // namespace vantrel
