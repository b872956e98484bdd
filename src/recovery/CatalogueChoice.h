#pragma once
// The catalogue a recovery step works on: the partition chosen on a disk and its catalogue
// built (quick: the live tree; advanced: every block), or both taken from a recovery log
// made on a disk of the same model.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/StopToken.h"
#include "recovery/ChosenCatalogue.h"
#include "recovery/DiskChoice.h"
#include "recovery/FileSearchKind.h"
#include "recovery/PartitionChoice.h"
#include "recovery/RecoveryMessages.h"
#include "recovery/StepResult.h"
#include "reiserfs/build/BuildStatus.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/search/InferredGeometry.h"

namespace vantrel {

inline constexpr const char* kAdvanceSearchHint =
    "If you don't find all the folder(s) here, use \"Advance Search\" option in previous menu";
inline constexpr const char* kSearchingLostText = "Searching Lost Directories. Please Wait...";

// The build of the kind on the partition, its status going to sink, until stop.
Catalogue BuildCatalogue(const PartitionSource& partition, FileSearchKind kind, const StopToken& stop,
                         BuildStatusSink& sink);

// What a build of the partition at start would make of its journal (it is read, not kept).
JournalState PartitionJournalState(const DiskReader& disk, std::uint64_t start, const JournalOptions& options);

// Where a step's catalogue comes from.
struct CatalogueRequest {
  PartitionRequest partition{};
  FileSearchKind build = FileSearchKind::Quick;
  std::string recoveryLog{};  // not empty: the partitions and the catalogue come from this log
  JournalOptions journal{};   // replayed in memory unless asked not to; a journal kept apart
  // Given by hand: put in place of the superblock's fields, or, where no superblock checks
  // out at the start, of what the advanced build infers from the tree.
  GeometryHints geometry{};
};

// Where the steps up to a catalogue report.
struct CatalogueWatchers {
  PartitionSearchProgress& search;
  BuildStatusSink& build;
  RecoveryMessages& messages;
};

// The catalogue of the request on the disk: the partition chosen and built (a quick build
// then hints at the advanced one), or loaded from the recovery log; or why there is none.
Result<ChosenCatalogue> ObtainCatalogue(const DiskChoice& disk, const CatalogueRequest& request,
                                        CatalogueWatchers watchers);

}  // namespace vantrel
