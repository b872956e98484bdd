#pragma once
// Turns a carve (a header sector, an end sector and the kind the end search found) into
// a numbered file in the destination folder, and counts it in the results list.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AlignedBuffer.h"
#include "disk/DiskReader.h"
#include "carving/CarvePlan.h"
#include "carving/RawRecoveryState.h"
#include "carving/RawSignatures.h"
#include "carving/WholeFileScan.h"

namespace vantrel {

// Where carves come from and go to.
struct CarveTarget {
  DiskReader disk;
  std::filesystem::path destination;
  std::array<bool, kKindCount> kinds{};  // the kinds the user wants written
  bool exactSizes = false;
  std::uint64_t diskBytes = 0;  // the disk's size, or the range's end when that lies beyond it
};

// What a raw recovery run tells while it runs.
class RawRecoveryProgress {
 public:
  virtual ~RawRecoveryProgress() = default;
  // The scan is at sector.
  virtual void OnSearching(std::uint64_t /*sector*/) {}
  // The part of the range done went up to percent.
  virtual void OnPercent(int /*percent*/) {}
  // The range is read; the files carved whole are waited for on the disk now.
  virtual void OnWritingToDisk() {}
  // The range is done.
  virtual void OnRangeDone() {}
  // The first file of the run was written: one results row per wanted kind, counting 0.
  virtual void OnResultsRows(const std::vector<std::string>& /*rows*/) {}
  // A results row counts one more file.
  virtual void OnResultRow(std::size_t /*row*/, const std::string& /*text*/) {}
  // A file could not be created or written; the text says which and why.
  virtual void OnFailure(const std::string& /*text*/) {}
};

enum class CarveOutcome {
  Written,
  NotWanted,  // dropped by the kind check, or its kind is not checked
  Failed,     // the file could not be created or written; the user was told
  Stopped,    // the user stopped the run while the file was written
};

class CarveWriter {
 public:
  CarveWriter(const CarveTarget& target, RawRecoveryState& raw, RawRecoveryProgress& progress);

  CarveOutcome Write(std::uint64_t start, std::uint64_t end, RawFileKind kind, std::uint32_t sequence,
                     bool markerFound);
  // A file the whole-file scan sized, when its kind is checked; `held` is the start of
  // its bytes that the scan has read already.
  CarveOutcome WriteWhole(const WholeFile& file, std::uint32_t sequence, ByteSpan held = {});

 private:
  RawFileKind CheckKind(RawFileKind kind) const;
  CarveOutcome CopyOut(const CarvePlan& plan, const std::string& path, ByteSpan held = {});
  void Count(RawFileKind kind);

  const CarveTarget& target_;
  RawRecoveryState& raw_;
  RawRecoveryProgress& progress_;
  AlignedBuffer head_;   // the carve's first sectors, for the kind check and the sizing
  AlignedBuffer chunk_;  // what is copied at a time
};

// The output file name of a carve: "DOC7.DOC" for the seventh carve as a Word document.
std::string CarveFileName(RawFileKind kind, std::uint32_t sequence);

}  // namespace vantrel
