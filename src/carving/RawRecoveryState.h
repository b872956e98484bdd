#pragma once
// What raw recovery keeps between the window's handlers and its worker: the option, the
// run's state, the stop flag, and what the last run wrote (for the console and tests).

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/StopToken.h"
#include "carving/RawSignatures.h"
#include "carving/WholeFileScan.h"

namespace vantrel {

// One run's state; a new run starts from a fresh one.
struct RawRecoveryRun {
  std::uint64_t nextSector = 0;
  std::uint64_t rangeEnd = 0;
  std::uint64_t windowStart = 0;
  std::uint64_t previousEnd = 0;  // the end last found in the current window (0: none)
  bool pending = false;           // a carve whose end is still to be found
  std::uint64_t pendingStart = 0;
  RawFileKind pendingHeaderKind = RawFileKind::Word;
  std::uint32_t sequence = 0;  // carves handed to the writer
  std::array<std::uint32_t, kKindCount> counters{};
  bool firstFileWritten = false;              // the results list has its rows
  std::array<int, kKindCount> resultsRow{};  // row of each checked kind in the results list
  int lastPercent = 0;
};

struct CarvedFile {
  std::string path;
  RawFileKind kind = RawFileKind::Word;
  std::uint32_t sequence = 0;
  std::uint64_t startSector = 0;
  std::uint64_t endSector = 0;  // as the end search found it
  std::uint64_t bytes = 0;
  bool sizedByStructure = false;  // its length came from the file's own structures
};

// What a run did, kept after the run's counters and results list are cleared.
struct RawRecoveryReport {
  std::vector<CarvedFile> files;
  std::vector<std::string> resultsRows;  // the results list as last shown
  std::vector<std::string> failures;     // files that could not be created or written
  std::uint32_t carves = 0;              // sequence numbers used
  // Files carved whole: headers whose file did not hold together (an archive without its
  // end record, a document whose tables run off the disk, ...); nothing was written.
  std::uint32_t notSized = 0;
  bool stopped = false;
  std::string removedFile;  // the file being written when Stop came, removed (empty: none)
};

struct RawRecoveryState {
  RawRecoveryState() = default;
  RawRecoveryState(const RawRecoveryState&) = delete;
  RawRecoveryState& operator=(const RawRecoveryState&) = delete;

  // Size documents and archives by their own structures, so that carved files are whole;
  // every header of a window is then listed, so that none is passed over.
  bool exactSizes = false;
  // How far a PDF or RTF file, or a ZIP entry whose sizes follow its data, is searched for
  // its end when files are carved whole.
  std::uint64_t textDocumentCap = kDefaultTextDocumentCap;
  // The kind the last end search settled; it outlives runs.
  RawFileKind lastKind = RawFileKind::Word;
  std::atomic<bool> running{false};
  // Stop, and the program closing (the run then ends without a summary).
  StopRequests requests;
  RawRecoveryRun run;
  RawRecoveryReport report;
};

}  // namespace vantrel
