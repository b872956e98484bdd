#pragma once
// The logic of the "Settings" dialog, without its window: it edits the live saving options
// and restores them on Cancel. The window binds its controls to these calls.

#include <array>
#include <string>

#include "recovery/SaveFolders.h"
#include "reiserfs/format/PartitionJournal.h"

namespace vantrel {

class WindowPort;

inline constexpr const char* kKeepEverythingText = "Keep owners, permissions, links and attributes";

// Positions of the six date lists: Earlier DD, MM, YYYY, then After DD, MM, YYYY.
using DatePositions = std::array<int, 6>;

// The character sets offered for the disk's names, UTF-8 (the default) first.
inline constexpr std::array<const char*, 10> kNameEncodings = {"UTF-8",   "ISO-8859-1", "ISO-8859-15", "ISO-8859-2",
                                                               "CP1251",  "KOI8-R",     "EUC-JP",      "Shift_JIS",
                                                               "GB18030", "Big5"};

class SettingsDialog {
 public:
  // Opens on the live options: zero date fields take their defaults, and everything is
  // remembered for Cancel.
  SettingsDialog(SavingOptions& options, WindowPort& window);

  void SetDeletedFilter(DeletedFilter value) { options_.deletedFilter = value; }
  void SetSaveScope(SaveScope value) { options_.saveScope = value; }
  // Saving: safe names on every destination, not only on FAT, exFAT and NTFS.
  void SetSafeNames(bool value) { options_.safeNames = value; }
  // Saving: "Keep owners, permissions, links and attributes" (everything, as the console's
  // --preserve=all), or what a save keeps by default.
  void SetKeepEverything(bool value) { options_.preserve = value ? PreserveSet::All() : PreserveSet::Default(); }
  // Catalogues built after Apply: with the journal replayed in memory (the default), or from
  // the blocks as they lie.
  void SetReplayJournal(bool value) { options_.blocksInPlace = !value; }
  // Names: the character set of kNameEncodings at position; they are shown decoded from it
  // in the trees and lists filled after Apply. Out of range: UTF-8.
  void SetNameEncoding(int position);
  // The position of the options' character set in kNameEncodings (0 when it is none of them).
  int NameEncodingPosition() const;

  // The "&Add " button with the edit's text. True when the extension was added (the edit
  // is then emptied by the window).
  bool AddExtension(const std::string& editText);
  // The "&Remove" button with the selected row of the list box (-1: none). Returns the row
  // to select afterwards, -1 for none.
  int RemoveExtension(int selectedRow);
  bool RemoveEnabled() const { return removeEnabled_; }

  // Where the date lists open: on the dates of the options.
  DatePositions Positions() const;
  // "&Apply" with the six date list positions; a list without a selection (-1) keeps its
  // previous position.
  void Apply(const DatePositions& positions);
  // "Cancel": every field and the extension list as they were.
  void Cancel() { options_ = atOpening_; }

  const SavingOptions& Options() const { return options_; }

 private:
  SavingOptions& options_;
  WindowPort& window_;
  SavingOptions atOpening_;
  bool removeEnabled_;
};

// How the catalogues built under the options read the journal.
inline JournalOptions JournalOptionsOf(const SavingOptions& options) {
  return {.replay = !options.blocksInPlace, .journalDisk = {}};
}

// The date a set of list positions stands for: day = DD + 1, month = MM + 1, year = YYYY + 1970.
CalendarDate DateFromPositions(int dayPosition, int monthPosition, int yearPosition);

}  // namespace vantrel
