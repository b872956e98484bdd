#include "saving/PreserveOptions.h"

#include <array>
#include <sstream>
#include <utility>

namespace vantrel {

namespace {

constexpr std::array<std::pair<const char*, Kept>, 6> kWords{{{"mode", Kept::Mode},
                                                              {"ownership", Kept::Ownership},
                                                              {"timestamps", Kept::Timestamps},
                                                              {"links", Kept::Links},
                                                              {"xattr", Kept::Xattr},
                                                              {"special", Kept::Special}}};

void AddCount(std::string& text, std::uint32_t count, const char* one, const char* many) {
  if (count == 0) return;
  text += text.empty() ? "Could not keep: " : ", ";
  text += std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string NotKeptText(const NotKept& notKept) {
  std::string text;
  AddCount(text, notKept.owners, "owner", "owners");
  AddCount(text, notKept.modes, "mode", "modes");
  AddCount(text, notKept.times, "time", "times");
  AddCount(text, notKept.links, "link", "links");
  AddCount(text, notKept.attributes, "extended attribute", "extended attributes");
  AddCount(text, notKept.special, "special file", "special files");
  AddCount(text, notKept.unknown, "entry whose owner and mode the recovery log does not hold",
           "entries whose owner and mode the recovery log does not hold");
  if (notKept.owners != 0) text += " (only root may give entries to other users)";
  return text;
}

PreserveSet PreserveSet::Default() {
  PreserveSet set;
  set.Add(Kept::Links);
  set.Add(Kept::Permissions);
  return set;
}

PreserveSet PreserveSet::All() {
  PreserveSet set = Default();
  for (const auto& [word, kept] : kWords) set.Add(kept);
  return set;
}

std::optional<std::string> ApplyPreserveList(PreserveSet& set, const std::string& list, bool remove) {
  std::istringstream words(list);
  std::string word;
  while (std::getline(words, word, ',')) {
    if (word.empty()) continue;
    PreserveSet named;
    if (word == "all") {
      named = PreserveSet::All();
    } else {
      bool known = false;
      for (const auto& [name, kept] : kWords)
        if (word == name) {
          named.Add(kept);
          known = true;
        }
      if (!known) return word;
      if (word == "mode") named.Add(Kept::Permissions);
    }
    set.bits = remove ? static_cast<std::uint8_t>(set.bits & ~named.bits)
                      : static_cast<std::uint8_t>(set.bits | named.bits);
  }
  return std::nullopt;
}

}  // namespace vantrel
