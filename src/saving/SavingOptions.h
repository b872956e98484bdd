#pragma once
// Which catalogue entries a saving run copies: deleted files or not, which list rows,
// which extensions, and between which modification dates. The options live for the run of
// the program and start from the defaults below.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/NameDecoder.h"

namespace vantrel {

struct CalendarDate {
  int day = 0;
  int month = 0;
  int year = 0;
  bool operator==(const CalendarDate&) const = default;
};

// Positions of the six date lists: Earlier DD, MM, YYYY, then After DD, MM, YYYY.
using DatePositions = std::array<int, 6>;

struct SavingOptions {
  static constexpr std::size_t kMaxExtensions = 100;

  int deletedFilter = 0;  // 0 include deleted files, 1 exclude them, 2 deleted files only
  int saveScope = 0;      // 0 selected rows, 1 all rows, 2 rows not selected
  std::vector<std::string> extensionList;  // newest first
  CalendarDate updatedEarlier{31, 12, 2099};
  CalendarDate updatedAfter{1, 1, 1970};
  int savingMode = 0;  // Auto, FAT1, FAT2, Contigious: shown, not used
  DatePositions datePositions{30, 11, 129, 0, 0, 0};
  bool safeNames = false;    // the safe names on every destination, not only on those that need them
  std::string nameEncoding;  // the character set of the disk's names ("": UTF-8), for showing them
  bool convertNames = false; // names written decoded from nameEncoding into UTF-8 instead of as on the disk

  bool operator==(const SavingOptions&) const = default;
};

// How names are shown: decoded from options.nameEncoding (as they are when iconv does not
// know it).
NameDecoder ShownNames(const SavingOptions& options);

// The tests a saving run applies to each entry, in this order; an entry that fails one is
// skipped without a message.
bool PassesScope(const SavingOptions& options, bool rowSelected);
bool PassesDeletedFilter(const SavingOptions& options, bool deleted);
// Compares local calendar dates, every month counting 30 days; off when the Earlier year is
// 0 or below the After year.
bool PassesDateWindow(const SavingOptions& options, std::uint32_t modificationTime);
// The text after the last "." of the name (the whole name without one) must equal a listed
// extension, ignoring case; an empty list passes everything.
bool PassesExtensions(const SavingOptions& options, const std::string& name);

}  // namespace vantrel
