#include "cli/RaidSearchOutput.h"

#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "recovery/RaidChoice.h"

namespace vantrel::cli {

namespace {

class RaidProgressLine : public RaidSearchProgress {
 public:
  explicit RaidProgressLine(ConsoleProgress& progress) : progress_(progress) {}
  void OnScanned(std::uint64_t bytes, std::uint64_t total) override {
    progress_.ShowStatusText("Reading the members " + std::to_string(bytes >> 20) + " / " +
                             std::to_string(total >> 20) + " MiB");
    progress_.ShowProgress(Percent(bytes, total));
  }
  void OnTried(std::uint64_t tried, std::uint64_t total) override {
    progress_.ShowStatusText("Trying arrays " + std::to_string(tried) + " / " + std::to_string(total));
    progress_.ShowProgress(Percent(tried, total));
  }

 private:
  static int Percent(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(part * 100 / whole, 100));
  }
  ConsoleProgress& progress_;
};

}  // namespace

int RunRaidSearch(CliSession& session, bool json) {
  RaidProgressLine progress(session.Progress());
  const RaidSearchResult result = SearchArraysOfGivenDisks(session.Disks(), StopToken(), progress);
  session.FinishProgress();
  if (result.candidates.empty()) session.Messages().Tell(RaidSearchFoundNothing(result), MessageStyle::Box);
  if (result.bounded) session.Messages().Remark("not every member order was tried: there are too many members");
  if (json) {
    nlohmann::json candidates = nlohmann::json::array();
    for (std::size_t i = 0; i < result.candidates.size(); ++i) {
      const RaidCandidate& c = result.candidates[i];
      candidates.push_back({{"index", i},
                            {"score", c.score},
                            {"inPlace", c.inPlace},
                            {"amiss", c.amiss},
                            {"raid", ManualArrayText(c.parameters)},
                            {"level", c.parameters.level},
                            {"chunk", c.parameters.chunkBytes},
                            {"layout", ManualLayoutName(c.parameters.level, c.parameters.layout)},
                            {"dataOffset", c.parameters.dataOffsetBytes}});
    }
    std::cout << nlohmann::json{{"members", result.members},
                                {"superblocks", result.superblocksFound},
                                {"tried", result.tried},
                                {"candidates", candidates},
                                {"messages", session.Messages().Texts()}}
                     .dump(2)
              << '\n';
    return kSuccess;
  }
  std::cout << "Raid search over";
  for (const std::string& member : result.members)
    std::cout << (&member == &result.members.front() ? " " : ", ") << member;
  std::cout << ": " << result.superblocksFound << " ReiserFS superblock(s) found, " << result.tried << " arrays tried, "
            << result.candidates.size() << " on which a volume holds together\n";
  for (std::size_t i = 0; i < result.candidates.size(); ++i) {
    const RaidCandidate& c = result.candidates[i];
    std::cout << "  " << std::left << std::setw(3) << i << std::right << " score " << std::setw(7) << c.score << "  ("
              << c.inPlace << " blocks in place, " << c.amiss << " amiss)  --raid " << ManualArrayText(c.parameters)
              << '\n';
  }
  if (!result.candidates.empty())
    std::cout << "Give the chosen one's --raid option with the same disks: it is listed after them as a disk.\n";
  return kSuccess;
}

}  // namespace vantrel::cli
