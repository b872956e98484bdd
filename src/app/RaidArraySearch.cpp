#include "app/RaidArraySearch.h"

#include "app/WizardState.h"

namespace vantrel {

namespace {

std::string MemberText(const ManualMember& member) {
  if (member.missing) return "(missing)";
  std::string text = DiskNameTable::DiskName(member.disk);
  return member.partition > 0 ? text + " partition " + std::to_string(member.partition) : text;
}

}  // namespace

std::string RaidCandidateRow(const RaidCandidate& candidate) {
  const ManualArrayParameters& parameters = candidate.parameters;
  std::string row = "Score " + std::to_string(candidate.score) + ": RAID" + std::to_string(parameters.level);
  if (parameters.chunkBytes > 0) row += ", " + std::to_string(parameters.chunkBytes / 1024) + " KiB chunks";
  if (const std::string layout = ManualLayoutName(parameters.level, parameters.layout); !layout.empty())
    row += ", " + layout;
  row += " over";
  for (std::size_t i = 0; i < parameters.members.size(); ++i)
    row += (i > 0 ? ", " : " ") + MemberText(parameters.members[i]);
  row += ", data from sector " + std::to_string(parameters.dataOffsetBytes / 512);
  return row + " (--raid " + ManualArrayText(parameters) + ")";
}

RaidSearchChoices SearchRaidArraysOfGivenDisks(const WizardState& state, const StopToken& stop,
                                               RaidSearchProgress& progress) {
  const RaidSearchResult result = SearchArraysOfGivenDisks(state.disks.names, stop, progress);
  RaidSearchChoices choices;
  for (const RaidCandidate& candidate : result.candidates) {
    choices.rows.push_back(RaidCandidateRow(candidate));
    choices.arrays.push_back(candidate.parameters);
  }
  if (choices.rows.empty()) choices.message = RaidSearchFoundNothing(result);
  return choices;
}

DiskListChange AddArrayByHand(WizardState& state, bool busy, const ManualArrayParameters& array) {
  state.disks.arraysByHand.push_back(array);
  DiskListChange change = RelistGivenDisks(state, busy);
  if (!change.changed) state.disks.arraysByHand.pop_back();
  return change;
}

}  // namespace vantrel
