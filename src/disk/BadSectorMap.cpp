#include "disk/BadSectorMap.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vantrel {

namespace {

bool ParseNumber(const std::string& word, std::uint64_t* value) {
  if (word.empty() || word[0] == '-') return false;
  try {
    std::size_t used = 0;
    *value = std::stoull(word, &used, 0);
    return used == word.size();
  } catch (const std::exception&) {
    return false;
  }
}

bool IsBlockStatus(const std::string& word) {
  return word.size() == 1 && std::string("?*/-+").find(word[0]) != std::string::npos;
}

}  // namespace

std::optional<BadSectorMap> BadSectorMap::Parse(const std::string& text, std::string* error) {
  BadSectorMap map;
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  bool statusLineSeen = false;
  std::uint64_t expectedNext = 0;
  auto fail = [&](const std::string& why) -> std::optional<BadSectorMap> {
    if (error) *error = "mapfile line " + std::to_string(lineNumber) + ": " + why;
    return std::nullopt;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    if (fields.empty()) continue;
    if (!statusLineSeen) {  // current position, current status, optional pass
      std::uint64_t position = 0;
      if (fields.size() < 2 || !ParseNumber(fields[0], &position)) return fail("bad status line");
      statusLineSeen = true;
      continue;
    }
    std::uint64_t position = 0;
    std::uint64_t size = 0;
    if (fields.size() != 3 || !ParseNumber(fields[0], &position) || !ParseNumber(fields[1], &size) ||
        !IsBlockStatus(fields[2]))
      return fail("expected 'position size status'");
    if (position > UINT64_MAX - size) return fail("block runs past the end of the address space");
    // Gaps between listed blocks were never tried, so they count as bad too.
    if (position > expectedNext) map.bad_.emplace_back(expectedNext, position);
    if (fields[2] != "+" && size > 0) map.bad_.emplace_back(position, position + size);
    expectedNext = std::max(expectedNext, position + size);
  }
  if (!statusLineSeen) return fail("no status line");
  std::sort(map.bad_.begin(), map.bad_.end());
  // Merge neighbours so that lookups see disjoint areas.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> merged;
  for (const auto& area : map.bad_) {
    if (!merged.empty() && area.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, area.second);
    else
      merged.push_back(area);
  }
  map.bad_ = std::move(merged);
  return map;
}

std::optional<BadSectorMap> BadSectorMap::Load(const std::string& path, std::string* error) {
  std::ifstream file(path);
  if (!file) {
    if (error) *error = "cannot read mapfile " + path;
    return std::nullopt;
  }
  std::stringstream text;
  text << file.rdbuf();
  std::string why;
  auto map = Parse(text.str(), &why);
  if (!map && error) *error = path + ": " + why;
  return map;
}

bool BadSectorMap::Touches(std::uint64_t offset, std::uint64_t length) const {
  if (length == 0) return false;
  const std::uint64_t end = offset + length < offset ? UINT64_MAX : offset + length;
  // First area whose end lies beyond offset.
  auto it = std::upper_bound(bad_.begin(), bad_.end(), offset,
                             [](std::uint64_t value, const auto& area) { return value < area.second; });
  return it != bad_.end() && it->first < end;
}

}  // namespace vantrel
