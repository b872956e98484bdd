#pragma once
// The raid search in the window: run over the given disks, its candidates as the rows of a
// choice, and the one the user picks listed as a further disk (an array put together by
// hand, as --raid does in the console).

#include <string>
#include <vector>

#include "app/DiskImages.h"
#include "recovery/RaidChoice.h"

namespace vantrel {

struct WizardState;

struct RaidSearchChoices {
  std::vector<std::string> rows;  // best first: the score, the array and its --raid text
  std::vector<ManualArrayParameters> arrays;
  std::string message;  // why there is nothing to choose, when rows is empty
};

RaidSearchChoices SearchRaidArraysOfGivenDisks(const WizardState& state, const StopToken& stop,
                                               RaidSearchProgress& progress);

// The row that describes a candidate.
std::string RaidCandidateRow(const RaidCandidate& candidate);

// Adds the array to those put together by hand and lists the disks again.
DiskListChange AddArrayByHand(WizardState& state, bool busy, const ManualArrayParameters& array);

}  // namespace vantrel
