#pragma once

#include "base/StopToken.h"
#include "reiserfs/build/CatalogueBuild.h"

namespace vantrel {

// The quick file/folder search: builds the catalogue of a partition by walking the live
// tree breadth-first from the root folder, taking each folder's entries and each object's
// stat data from one sweep of the tree in key order (or, where the tree is not sound, from
// one key search for each). A folder reached a second time (a damaged tree whose
// entries loop) is listed again but not walked again. Stops early when stop is requested
// and then still finishes the catalogue with what it found.
Catalogue BuildQuickCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink);

}  // namespace vantrel
