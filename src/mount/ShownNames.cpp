#include "mount/ShownNames.h"

#include <unordered_map>
#include <unordered_set>

#include "saving/SafeName.h"

namespace vantrel::mount {

std::vector<std::string> DistinctNames(const std::vector<std::string_view>& names) {
  std::vector<std::string> shown;
  shown.reserve(names.size());
  std::unordered_set<std::string> taken;
  for (const auto name : names) taken.insert(shown.emplace_back(HoldableName(name)));
  std::unordered_set<std::string> kept;
  std::unordered_map<std::string, unsigned> nextNumber;
  for (std::string& name : shown) {
    if (kept.insert(name).second) continue;
    unsigned& n = nextNumber.try_emplace(name, 2).first->second;
    std::string candidate = NumberedName(name, n);
    while (taken.contains(candidate)) candidate = NumberedName(name, ++n);
    ++n;
    taken.insert(candidate);
    kept.insert(candidate);
    name = std::move(candidate);
  }
  return shown;
}

}  // namespace vantrel::mount
