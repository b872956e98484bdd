#pragma once

#include "base/StopToken.h"
#include "reiserfs/build/CatalogueBuild.h"

namespace vantrel {

// The advanced file/folder search: reads every block of the partition, examines each block
// that looks like a leaf (live, stale or a journal copy), gathers every stat data item,
// directory entry, indirect and direct item into one object record per (objectId, dirId),
// and converts the records into the catalogue. Objects whose name was never seen are named
// "FOUND" and a number. The records stay in objectList: saving reads file bodies through
// their pieces. A stop request ends the scan and is then taken back; the conversion still
// runs, and only a new request ends it.
Catalogue BuildAdvancedCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink);

}  // namespace vantrel
