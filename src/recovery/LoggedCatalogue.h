#pragma once
// A catalogue kept in a recovery log: written with the partitions it came from, and taken
// back only on a disk of the model it was made on.

#include <optional>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "base/Result.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"
#include "recovery/ChosenCatalogue.h"
#include "recovery/DiskChoice.h"
#include "recovery/RecoveryMessages.h"
#include "recovery/StepResult.h"

namespace vantrel {

inline constexpr const char* kUnableToOpenFile = "Unable to open file";
inline constexpr const char* kWrongDiskMessage = "You Have Selected Wrong Disk";
inline constexpr const char* kDamagedLogMessage = "This file is not a recovery log, or it is damaged";
inline constexpr const char* kJournalChangedMessage =
    "The journal no longer holds the transactions this recovery log was made with: files are read as the disk "
    "holds them";

// The log in file when it is whole and was made on a disk of diskModel; otherwise tells the
// user why not, and is Rejected with that message as its text.
Result<RecoveryLog> DecodeLogForDisk(ByteSpan file, const std::string& diskModel, RecoveryMessages& messages);

// Reads the log at path: its partitions, its modes, the partition it was made from on disk
// and its catalogue. A log made where the journal was replayed in memory has it replayed
// again (journal tells where a journal kept apart lies), so that files are read as the
// catalogue was built. A log not loaded is Rejected, with the message that said why as its
// reason.
Result<ChosenCatalogue> LoadLoggedCatalogue(const std::string& path, const DiskChoice& disk, RecoveryMessages& messages,
                                            const JournalOptions& journal = {});

// Writes a log of catalogue, made from the partition head names among partitions, to path
// (an older log there is only replaced by a whole one): what became of the writing.
LogWriteResult WriteLoggedCatalogue(const std::string& path, const RecoveryLogHead& head,
                                    const std::vector<LoggedPartition>& partitions, const Catalogue& catalogue);

// Writes the log of chosen to path (an older log there is only replaced by a whole one).
// A log not written is LogRefused.
StepResult SaveLoggedCatalogue(const std::string& path, const ChosenCatalogue& chosen);

}  // namespace vantrel
