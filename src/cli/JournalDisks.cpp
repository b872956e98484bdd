#include "cli/JournalDisks.h"

#include "disk/containers/OpenDiskImage.h"

namespace vantrel::cli {

JournalDisks::JournalDisks(const std::vector<std::string>& paths, BadSectorPrompt* prompt) : reader_(names_, prompt) {
  for (const std::string& path : paths) {
    int entry = -1;
    if (!path.empty()) {
      std::string problem;
      auto source = OpenDiskImage(path, std::nullopt, &problem);
      if (source && !source->Size()) problem = source->OpenError();
      if (source && problem.empty()) {
        entry = names_.Add({path, {}, std::move(source), {}});
      } else {
        problems_.push_back(path + ": " + (problem.empty() ? "cannot be opened" : problem));
      }
    }
    entryOf_.push_back(entry);
  }
}

std::optional<DiskReader> JournalDisks::Of(int n) {
  if (n < 0 || static_cast<std::size_t>(n) >= entryOf_.size() || entryOf_[static_cast<std::size_t>(n)] < 0)
    return std::nullopt;
  return DiskReader(reader_, static_cast<std::uint16_t>(entryOf_[static_cast<std::size_t>(n)]));
}

}  // namespace vantrel::cli
