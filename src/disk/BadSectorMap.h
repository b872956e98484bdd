#pragma once
// The areas of a disk image that a GNU ddrescue mapfile does not mark as finished ('+').
// Reads that touch them fail, as they would on the failing disk that was imaged.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantrel {

class BadSectorMap {
 public:
  // Parses the text of a mapfile; on a malformed line returns nothing and says why.
  static std::optional<BadSectorMap> Parse(const std::string& text, std::string* error);
  static std::optional<BadSectorMap> Load(const std::string& path, std::string* error);

  // True when any byte of [offset, offset + length) lies in an area not finished.
  bool Touches(std::uint64_t offset, std::uint64_t length) const;
  const std::vector<std::pair<std::uint64_t, std::uint64_t>>& BadAreas() const { return bad_; }

 private:
  std::vector<std::pair<std::uint64_t, std::uint64_t>> bad_;  // sorted [begin, end)
};

}  // namespace vantrel
