#pragma once
// The text format of LVM2 metadata: sections `name { ... }` holding values `key = value`,
// where a value is a number, a quoted string or a list `[ ... ]` of them; `#` starts a
// comment. Parsed into a tree with its depth, size and string lengths bounded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct LvmNode {
  enum class Kind { Section, Number, String, List };
  Kind kind = Kind::Section;
  std::string name;
  std::int64_t number = 0;
  std::string text;
  std::vector<LvmNode> children;  // a section's entries, or a list's items (unnamed)

  // The entry of a section with that name (first one), or nullptr.
  const LvmNode* Find(std::string_view key) const;
  const LvmNode* Section(std::string_view key) const;
  std::optional<std::int64_t> Number(std::string_view key) const;
  std::optional<std::string> Text(std::string_view key) const;
  // Whether a list entry holds the string (status flags).
  bool ListHas(std::string_view key, std::string_view item) const;
};

// The whole text as one unnamed section; nothing when it does not parse or exceeds the
// bounds (nesting, entries, a string's length).
std::optional<LvmNode> ParseLvmText(std::string_view text);

}  // namespace vantrel
