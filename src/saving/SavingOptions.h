#pragma once
// Which catalogue entries a saving run copies: deleted files or not, which list rows,
// which extensions, and between which modification dates. The options live for the run of
// the program and start from the defaults below.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/NameDecoder.h"
#include "saving/PreserveOptions.h"

namespace vantrel {

struct CalendarDate {
  int day = 0;
  int month = 0;
  int year = 0;
  bool operator==(const CalendarDate&) const = default;
};

// Modification dates from first to last, both included.
struct CalendarDateRange {
  CalendarDate first{1, 1, 1970};
  CalendarDate last{31, 12, 2099};
  bool operator==(const CalendarDateRange&) const = default;
};

// The years a range may name: from 1970, its last date up to 2099, its first up to 2030.
inline constexpr int kFirstDateYear = 1970;
inline constexpr int kLastBeforeYear = 2099;
inline constexpr int kLastAfterYear = 2030;

// "DD/MM/YYYY" with a day from 1 to 31, a month from 1 to 12 and a year from 1970 to
// lastYear; nothing for any other text.
std::optional<CalendarDate> ParseCalendarDate(const std::string& text, int lastYear);

// Which files a run takes by whether they are deleted. The numbers are the positions of the
// settings' radio buttons.
enum class DeletedFilter { Include = 0, Exclude = 1, Only = 2 };
// Which rows of the list a save of the list takes.
enum class SaveScope { SelectedRows = 0, AllRows = 1, RowsNotSelected = 2 };
// The saving mode the settings show (and no run uses).
enum class SavingMethod { Auto = 0, Fat1 = 1, Fat2 = 2, Contiguous = 3 };

struct SavingOptions {
  static constexpr std::size_t kMaxExtensions = 100;

  DeletedFilter deletedFilter = DeletedFilter::Include;
  SaveScope saveScope = SaveScope::SelectedRows;
  std::vector<std::string> extensionList;  // newest first
  CalendarDateRange modified;
  SavingMethod savingMode = SavingMethod::Auto;
  bool safeNames = false;    // the safe names on every destination, not only on those that need them
  std::string nameEncoding;  // the character set of the disk's names ("": UTF-8), for showing them
  bool convertNames = false; // names written decoded from nameEncoding into UTF-8 instead of as on the disk
  // Catalogues built from the blocks as they lie, the journal's last committed changes not
  // replayed in memory.
  bool blocksInPlace = false;
  PreserveSet preserve = PreserveSet::Default();  // what is kept beside the content

  bool operator==(const SavingOptions&) const = default;
};

inline constexpr const char* kTooManyExtensions = "Cannot add more extensions";
inline constexpr const char* kExtensionTooLong = "Extension should not exceed more than 4 characters";
inline constexpr const char* kExtensionWithDot =
    "Do not include \".\" (DOT) in extension. Enter extensions like this : tmp,html,bak etc..";
inline constexpr const char* kExtensionWithStar =
    "Do not include \"*\" in extension. Enter extensions like this : tmp,html,bak etc..";
inline constexpr const char* kExtensionExists = "This extension already exist. Enter different extension";

struct ExtensionAdded {
  bool added = false;
  const char* refusal = nullptr;  // why not, for the user; none for an empty text
  bool plainRefusal = false;      // the refusal is a plain notice, not an error
};

// Puts an extension at the front of the list, taking at most the 39 characters an edit
// field holds. Refused, in this order: a full list, more than 4 characters, a ".", a "*", an
// extension already listed (as typed).
ExtensionAdded AddExtension(SavingOptions& options, const std::string& text);

// How names are shown: decoded from options.nameEncoding (as they are when iconv does not
// know it).
NameDecoder ShownNames(const SavingOptions& options);

// The tests a saving run applies to each entry, in this order; an entry that fails one is
// skipped without a message.
bool PassesScope(const SavingOptions& options, bool rowSelected);
bool PassesDeletedFilter(const SavingOptions& options, bool deleted);
// Compares local calendar dates, every month counting 30 days; off when the last year is
// 0 or below the first year.
bool PassesDateWindow(const SavingOptions& options, std::uint32_t modificationTime);
// The text after the last "." of the name (the whole name without one) must equal a listed
// extension, ignoring case; an empty list passes everything.
bool PassesExtensions(const SavingOptions& options, const std::string& name);

}  // namespace vantrel
