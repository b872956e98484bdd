#pragma once
// What a save keeps of each entry beside its content, in the words of `cp --preserve`: the
// mode (with the set-id and sticky bits), the owner and group, the times, links (symbolic
// links as links, the names of one file as hard links of one file), extended attributes
// with ACLs, and special files (device nodes, FIFOs, sockets).

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

enum class Kept : std::uint8_t {
  Mode = 1,  // every mode bit; without it only the read, write and run bits are kept
  Ownership = 2,
  Timestamps = 4,  // access and modification times, symbolic links' too; without it modification times
  Links = 8,
  Xattr = 16,
  Special = 32,
  Permissions = 64,  // the read, write and run bits (kept unless the mode is not)
};

struct PreserveSet {
  std::uint8_t bits = 0;

  bool Has(Kept kept) const { return (bits & static_cast<std::uint8_t>(kept)) != 0; }
  void Add(Kept kept) { bits |= static_cast<std::uint8_t>(kept); }
  void Remove(Kept kept) { bits &= static_cast<std::uint8_t>(~static_cast<std::uint8_t>(kept)); }
  bool operator==(const PreserveSet&) const = default;

  // As a save does by default (as `cp -r` for a user): symbolic and hard links kept, the
  // read, write and run bits, modification times.
  static PreserveSet Default();
  // Everything (`--preserve=all`).
  static PreserveSet All();
};

// What a save could not keep of the entries it wrote, counted: told once in its summary.
struct NotKept {
  std::uint32_t owners = 0;  // owner or group (only root may give entries away)
  std::uint32_t modes = 0;   // modes, or their set-id bits where the owner was not kept
  std::uint32_t times = 0;
  std::uint32_t links = 0;       // symbolic links written as files, names of one file as copies
  std::uint32_t attributes = 0;  // extended attributes and ACLs, unreadable ones included
  std::uint32_t special = 0;     // device nodes, FIFOs and sockets written as empty files
  std::uint32_t unknown = 0;     // entries whose owner and mode the catalogue does not hold
  bool Any() const { return owners + modes + times + links + attributes + special + unknown != 0; }
  bool operator==(const NotKept&) const = default;
};

// The summary's line for what was not kept ("Could not keep: 12 owners, 2 extended
// attributes"), with why where it is the user's rights; empty when everything was kept.
std::string NotKeptText(const NotKept& notKept);

// Applies a comma-separated list ("mode,ownership,timestamps,links,xattr,special,all") to
// the set, adding its words (or removing them with remove); the word that is not one of
// them when there is one. Removing "mode" removes the read, write and run bits too.
std::optional<std::string> ApplyPreserveList(PreserveSet& set, const std::string& list, bool remove);

}  // namespace vantrel
