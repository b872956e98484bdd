#include "stacks/ManualArray.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "disk/SectorReader.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kLargestOffset = std::uint64_t{1} << 50;

struct LayoutWord {
  const char* name;
  const char* shortName;
  std::uint32_t number;
};

// RAID5 and RAID6 layouts by their md numbers.
constexpr std::array<LayoutWord, 6> kParityLayouts{{{"left-asymmetric", "la", 0},
                                                    {"right-asymmetric", "ra", 1},
                                                    {"left-symmetric", "ls", 2},
                                                    {"right-symmetric", "rs", 3},
                                                    {"parity-first", "pf", 4},
                                                    {"parity-last", "pl", 5}}};

std::uint32_t Raid10Layout(char kind, std::uint32_t copies) {
  switch (kind) {
    case 'n': return (1u << 8) | copies;
    case 'f': return (copies << 8) | 1u;
    default: return 0x10000u | (copies << 8) | 1u;  // offset
  }
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// A count of units: a number with an optional suffix K, KiB, M, MiB or s (sectors); a bare
// number counts plainUnit bytes.
std::optional<std::uint64_t> Bytes(std::string_view text, std::uint64_t plainUnit) {
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])) != 0) ++digits;
  std::string suffix(text.substr(digits));
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](char c) { return std::tolower(c); });
  std::uint64_t unit = plainUnit;
  if (suffix == "k" || suffix == "kib")
    unit = kKiB;
  else if (suffix == "m" || suffix == "mib")
    unit = kMiB;
  else if (suffix == "s")
    unit = kSectorSize;
  else if (!suffix.empty())
    return std::nullopt;
  const auto count = Number(text.substr(0, digits));
  if (!count || *count > kLargestOffset / unit) return std::nullopt;
  return *count * unit;
}

std::optional<ManualMember> Member(std::string_view text) {
  if (text == "missing") return ManualMember{true, 0, 0};
  const std::size_t p = text.find('p');
  const auto disk = Number(text.substr(0, p));
  if (!disk || *disk > 1000) return std::nullopt;
  ManualMember member{false, static_cast<std::size_t>(*disk), 0};
  if (p != std::string_view::npos) {
    const auto partition = Number(text.substr(p + 1));
    if (!partition || *partition == 0 || *partition > 256) return std::nullopt;
    member.partition = static_cast<int>(*partition);
  }
  return member;
}

std::optional<std::uint32_t> Layout(int level, std::string_view text) {
  if (level == 5 || level == 6) {
    for (const LayoutWord& word : kParityLayouts)
      if (text == word.name || text == word.shortName) return word.number;
    return std::nullopt;
  }
  // n2, f2, o2 (also near=2, far=2, offset=2): copies of each chunk, and where they lie.
  std::string_view count = text;
  char kind = 0;
  for (const std::string_view word : {"near=", "far=", "offset="})
    if (text.substr(0, word.size()) == word) {
      kind = word[0];
      count = text.substr(word.size());
    }
  if (kind == 0 && !text.empty() && (text[0] == 'n' || text[0] == 'f' || text[0] == 'o')) {
    kind = text[0];
    count = text.substr(1);
  }
  const auto copies = Number(count);
  if (kind == 0 || !copies || *copies < 2 || *copies > 8) return std::nullopt;
  return Raid10Layout(kind, static_cast<std::uint32_t>(*copies));
}

ParsedManualArray Refuse(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

ParsedManualArray ParseManualArray(std::string_view text) {
  const std::vector<std::string_view> fields = Split(text, ':');
  if (fields.size() < 3 || fields.size() > 5)
    return Refuse("an array is LEVEL:CHUNK:MEMBERS[:LAYOUT][:OFFSET], e.g. 5:64K:0,1,2,missing");
  ManualArrayParameters parameters;
  std::string_view level = fields[0];
  if (level.substr(0, 4) == "raid") level.remove_prefix(4);
  const auto levelNumber = Number(level);
  if (!levelNumber || (*levelNumber != 0 && *levelNumber != 1 && *levelNumber != 4 && *levelNumber != 5 &&
                       *levelNumber != 6 && *levelNumber != 10))
    return Refuse("level " + std::string(fields[0]) + ": the levels read are 0, 1, 4, 5, 6 and 10");
  parameters.level = static_cast<int>(*levelNumber);

  if (parameters.level != 1 || (fields[1] != "0" && !fields[1].empty())) {
    const auto chunk = Bytes(fields[1], kKiB);
    if (!chunk || *chunk < 4 * kKiB || *chunk > 1024 * kMiB || (*chunk & (*chunk - 1)) != 0)
      return Refuse("chunk " + std::string(fields[1]) + ": a power of two from 4K to 1024M (a bare number is KiB)");
    parameters.chunkBytes = parameters.level == 1 ? 0 : *chunk;
  }

  std::size_t missing = 0;
  for (const std::string_view word : Split(fields[2], ',')) {
    const auto member = Member(word);
    if (!member)
      return Refuse("member \"" + std::string(word) + "\": a disk index (2), a partition of one (2p1) or missing");
    missing += member->missing ? 1 : 0;
    parameters.members.push_back(*member);
  }
  if (parameters.members.size() < 2 || parameters.members.size() > kMaxArrayMembers)
    return Refuse("an array has 2 to " + std::to_string(kMaxArrayMembers) + " members");
  for (std::size_t i = 0; i < parameters.members.size(); ++i)
    for (std::size_t j = i + 1; j < parameters.members.size(); ++j)
      if (!parameters.members[i].missing && parameters.members[i] == parameters.members[j])
        return Refuse("member " + std::string(Split(fields[2], ',')[i]) + " is given twice");

  const std::string_view layout = fields.size() > 3 ? fields[3] : std::string_view{};
  if (parameters.level == 5 || parameters.level == 6 || parameters.level == 10) {
    const auto number = layout.empty() ? Layout(parameters.level, parameters.level == 10 ? "n2" : "ls")
                                       : Layout(parameters.level, layout);
    if (!number)
      return Refuse("layout " + std::string(layout) +
                    (parameters.level == 10 ? ": n2, f2 or o2 (near, far or offset copies)"
                                            : ": left-symmetric, left-asymmetric, right-symmetric, right-asymmetric, "
                                              "parity-first or parity-last (ls, la, rs, ra, pf, pl)"));
    parameters.layout = *number;
  } else if (!layout.empty()) {
    return Refuse("RAID" + std::to_string(parameters.level) + " has no layout to choose");
  }

  if (fields.size() > 4 && !fields[4].empty()) {
    const auto offset = Bytes(fields[4], kSectorSize);
    if (!offset || *offset % kSectorSize != 0)
      return Refuse("offset " + std::string(fields[4]) + ": sectors (2048), or bytes with K or M (1M)");
    parameters.dataOffsetBytes = *offset;
  }

  const MdGeometry shape = ManualGeometry(parameters, std::uint64_t{1} << 40);
  if (const auto problem = GeometryProblem(shape)) return Refuse("this array cannot be read: " + *problem);
  if (missing > RedundantMembers(shape))
    return Refuse("RAID" + std::to_string(parameters.level) + " of " + std::to_string(parameters.members.size()) +
                  " members cannot be read with " + std::to_string(missing) + " missing");
  return {parameters, {}};
}

std::string ManualLayoutName(int level, std::uint32_t layout) {
  if (level == 5 || level == 6) {
    for (const LayoutWord& word : kParityLayouts)
      if (word.number == layout) return word.name;
    return std::to_string(layout);
  }
  if (level != 10) return {};
  const std::uint32_t near = layout & 0xff;
  const std::uint32_t far = (layout >> 8) & 0xff;
  if (far <= 1) return "n" + std::to_string(near);
  return ((layout & 0x10000) != 0 ? "o" : "f") + std::to_string(far);
}

std::string ManualArrayText(const ManualArrayParameters& parameters) {
  std::string text = std::to_string(parameters.level) + ":";
  if (parameters.chunkBytes == 0)
    text += "0";
  else if (parameters.chunkBytes % kMiB == 0)
    text += std::to_string(parameters.chunkBytes / kMiB) + "M";
  else
    text += std::to_string(parameters.chunkBytes / kKiB) + "K";
  text += ":";
  for (std::size_t i = 0; i < parameters.members.size(); ++i) {
    const ManualMember& member = parameters.members[i];
    text += i > 0 ? "," : "";
    text += member.missing ? "missing" : std::to_string(member.disk);
    if (!member.missing && member.partition > 0) text += "p" + std::to_string(member.partition);
  }
  text += ":" + ManualLayoutName(parameters.level, parameters.layout);
  text += ":" + std::to_string(parameters.dataOffsetBytes / kSectorSize);
  return text;
}

MdGeometry ManualGeometry(const ManualArrayParameters& parameters, std::uint64_t memberBytes) {
  MdGeometry geometry;
  geometry.level = parameters.level;
  geometry.layout = parameters.layout;
  geometry.raidDisks = static_cast<std::uint32_t>(parameters.members.size());
  geometry.chunkSectors = parameters.chunkBytes / kSectorSize;
  const std::uint64_t sectors = memberBytes / kSectorSize;
  geometry.memberSectors = geometry.chunkSectors > 0 ? sectors / geometry.chunkSectors * geometry.chunkSectors
                                                     : sectors;
  return geometry;
}

}  // namespace vantrel
