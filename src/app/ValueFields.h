#pragma once
// The value fields beside the captions of the right panel: the chosen disk and its size,
// the partition's sector range, its file system, the chosen mode, what the searches found
// and the kind of file search.

#include <string>

#include "app/WizardModes.h"
#include "recovery/FileSearchKind.h"

namespace vantrel {

struct WizardState;
struct ReiserSuperblock;

// "ReiserFS 3.6, 4 KB" (3.5 for the old format, then the block size); empty without a block size.
std::string FileSystemText(const ReiserSuperblock& superblock);
std::string ModeText(RecoveryMode mode);

// The catalogue's search, marked when it was stopped: the catalogue is then incomplete,
// whichever folder the status line shows.
inline constexpr const char* kStoppedSearchSuffix = " (stopped: incomplete)";
std::string SearchModeText(FileSearchKind kind, bool stopped);

void ShowSelectedDisk(WizardState& state);
void ShowSelectedMode(WizardState& state);
void ShowPartitionRange(WizardState& state);
// In raw recovery: the sectors the panel would carve (the whole current disk, or the two
// sector fields as typed; empty while a field is no sector number).
void ShowRawRange(WizardState& state);
// After a partition search: the partitions found.
void ShowPartitionsFound(WizardState& state);
// After a catalogue build or a log load: the file system, the folders found, the search,
// the mode, the partitions and the range (a log brings its own).
void ShowCatalogueValues(WizardState& state);

}  // namespace vantrel
