#pragma once
// Save Log and Load Log: keeping the result of a catalogue build in a ".SAV" file, and
// bringing the wizard back to that catalogue later without searching the disk again, when
// the same disk is attached.

#include <optional>
#include <string>

#include "base/LittleEndian.h"
#include "app/ListingCommands.h"
#include "recovery/LoggedCatalogue.h"

namespace vantrel {

struct WizardState;

inline constexpr const char* kRecoveryLogSaveFilter = "*.Sav";
inline constexpr const char* kRecoveryLogOpenFilter = "*.sav";
inline constexpr const char* kLogRawModeRefusal = "This feature can not be used while running under Raw Recovery Mode";
inline constexpr const char* kLoadLogAtCatalogueRefusal = "Go to step 1 Or 2 and then use this option";
inline constexpr const char* kSaveLogNeedsCatalogue = kListingNeedsCatalogue;
inline constexpr const char* kLogWriteFailed = "Unable to write file";

// The name a log is saved under: the file name upper-cased, and ".SAV" appended unless it
// already ends in "SAV" (notes gives NOTES.SAV, old.sav gives OLD.SAV). The folders of the
// path keep their case, which matters where file names are case-sensitive.
std::string RecoveryLogPath(const std::string& chosen);

// Save Log: refused until a catalogue is shown; asks for the file name, and writes the
// disk model, the modes, the partitions, the superblock and the catalogue. A file that
// cannot be created or written gives a message, and an existing log is only replaced once
// the new one is whole. The path written, or nothing.
std::optional<std::string> SaveRecoveryLog(WizardState& state);

// Writes the log of the built catalogue to exactly this path, as Save Log does once the
// name is chosen. The path written, or nothing after a message.
std::optional<std::string> WriteRecoveryLog(WizardState& state, const std::string& path);

enum class LogLoadOutcome { Loaded, Cancelled, Refused };

// Load Log: refused in Raw Recovery mode and while a catalogue is shown; asks for the file
// and loads it (LoadRecoveryLogBytes).
LogLoadOutcome LoadRecoveryLog(WizardState& state);

// Loads a log read into memory. Its disk model must be the selected disk's, else "You Have
// Selected Wrong Disk". The whole file is read before anything changes: a log that is not
// whole or not a log gives a message and leaves the wizard, its views and the recovery
// state as they were. At stage 0 the partition list comes from the log and the disk read is
// the selected one; at stage 1 the partition list on screen stays. Then the catalogue
// replaces the current one, the folder tree is filled and the stage becomes 2.
LogLoadOutcome LoadRecoveryLogBytes(WizardState& state, ByteSpan file);

}  // namespace vantrel
