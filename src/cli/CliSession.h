#pragma once
// What every console command shares: the disks and their sector reader, a window without a
// screen for the questions, the messages and the progress line, and the catalogue a
// command works on. The commands call the engines themselves.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogAnswers.h"
#include "app/HeadlessWindow.h"
#include "app/WindowBadSectorPrompt.h"
#include "base/NameDecoder.h"
#include "cli/ConsoleAnswers.h"
#include "disk/DiskEnumeration.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "disk/DiskReader.h"
#include "disk/SectorReader.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/search/PartitionSearch.h"
#include "saving/FileBody.h"
#include "stacks/StackAssembly.h"

namespace vantrel::cli {

enum ExitCode {
  kSuccess = 0,
  kUsageError = 1,
  kDiskError = 2,
  kNotFound = 3,          // no such partition record or folder
  kSomeFilesFailed = 4,   // files that could not be written, or came out damaged or short
  kLogRefused = 5,        // a recovery log that was not loaded or not written
  kOutOfMemoryStatus = 6,      // an allocation failed; the run ended, no partial file left
  kStoppedByUser = 130,
};

struct GlobalOptions {
  std::vector<NamedDisk> disks;
  PresetAnswers answers;
  bool json = false;  // messages are collected for the JSON output instead of printed
  std::string recoveryLog;  // the catalogue comes from this recovery log instead of a build
  NameDecoder names;        // the character set names are shown in (--name-encoding)
};

// The catalogue a command works on, with where it came from.
struct ChosenCatalogue {
  Catalogue catalogue;
  PartitionSource partition;
  std::uint64_t selectedSize = 0;  // sectors of the chosen partition, as its record gives them
  BodySource source = BodySource::Tree;
  std::vector<PartitionRecord> partitions;  // what the partition search found
  std::uint8_t recoveryMode = 1;            // 1 quick, 2 advanced partition search
  std::uint16_t fileSearchType = 1;         // 1 quick, 2 advanced file search
  std::uint16_t diskIndex = 0;
  std::string diskModel;
};

class CliSession {
 public:
  explicit CliSession(const GlobalOptions& options);

  HeadlessWindow& Window() { return *window_; }
  SectorReader& Reader() { return reader_; }
  const DiskNameTable& Disks() const { return names_; }
  const DiskInfoStore& Info() const { return info_; }
  DiskReader Disk(int n) { return {reader_, static_cast<std::uint16_t>(n)}; }
  std::uint64_t DiskSectors(int n) const;

  const std::vector<EnumerationProblem>& Problems() const { return problems_; }
  // Arrays and logical volumes found on the disks that cannot be offered, and why.
  const std::vector<std::string>& StackNotes() const { return stackNotes_; }
  const std::string& RecoveryLog() const { return recoveryLog_; }
  const NameDecoder& Names() const { return nameDecoder_; }
  bool PrintsMessages() const { return printsMessages_; }
  // Reports on standard error why disk n cannot be read; true when it can.
  bool CheckDiskReadable(int disk) const;
  // Reports on standard error when files written below destination would land on disk;
  // true when they would not.
  bool CheckDestinationApart(int disk, const std::string& destination) const;

  std::optional<ChosenCatalogue>& Chosen() { return chosen_; }

 private:
  std::unique_ptr<DialogAnswers> answers_;
  std::unique_ptr<HeadlessWindow> window_;
  WindowPort* port_ = nullptr;
  WindowBadSectorPrompt prompt_{port_};
  DiskNameTable names_;
  DiskInfoStore info_;
  SectorReader reader_{names_, &prompt_};
  std::vector<EnumerationProblem> problems_;
  std::vector<std::string> stackNotes_;
  std::string recoveryLog_;
  NameDecoder nameDecoder_;
  bool printsMessages_;
  std::optional<ChosenCatalogue> chosen_;
};

}  // namespace vantrel::cli
