#pragma once
// Turns a carve (a header sector, an end sector and the kind the end search found) into
// a numbered file in the destination folder, and counts it in the results list.

#include <cstdint>
#include <string>

#include "base/AlignedBuffer.h"
#include "raw/CarvePlan.h"
#include "raw/RawSignatures.h"
#include "raw/WholeFileScan.h"

namespace vantrel {

struct WizardState;

enum class CarveOutcome {
  Written,
  NotWanted,  // dropped by the kind check, or its kind is not checked
  Failed,     // the file could not be created or written; the user was told
  Stopped,    // the user stopped the run while the file was written
};

class CarveWriter {
 public:
  explicit CarveWriter(WizardState& state);

  CarveOutcome Write(std::uint64_t start, std::uint64_t end, RawFileKind kind, std::uint32_t sequence);
  // A file the whole-file scan sized, when its kind is checked.
  CarveOutcome WriteWhole(const WholeFile& file, std::uint32_t sequence);

 private:
  RawFileKind CheckKind(RawFileKind kind) const;
  CarvePlan Plan(std::uint64_t start, std::uint64_t end, RawFileKind kind, bool& sizedByStructure);
  CarveOutcome CopyOut(const CarvePlan& plan, const std::string& path);
  void Count(RawFileKind kind);

  WizardState& state_;
  AlignedBuffer head_;   // the carve's first sectors, for the kind check and the sizing
  AlignedBuffer chunk_;  // what is copied at a time
};

// The output file name of a carve: "DOC7.DOC" for the seventh carve as a Word document.
std::string CarveFileName(RawFileKind kind, std::uint32_t sequence);

}  // namespace vantrel
