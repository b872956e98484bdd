#pragma once
// Names from the disk made fit to create in a destination folder. Every destination gets a
// name a path can hold (no "/" or NUL, not "." or "..", not empty, at most 255 bytes); a
// destination that refuses more characters (FAT, exFAT, NTFS) gets the safe name.

#include <string>
#include <string_view>

namespace vantrel {

inline constexpr std::size_t kMaxNameBytes = 255;

// The name with "/" and NUL as "_", "." and ".." as "_" and "__", the empty name as "_",
// and cut to kMaxNameBytes without splitting a UTF-8 character. Every other byte is kept.
std::string HoldableName(std::string_view name);

// The holdable name with each of : * ? " < > | \ also replaced by an underscore.
std::string SafeName(std::string_view name);

// The safe name with each byte that is not part of a UTF-8 character also replaced, for a
// destination that refuses even the safe name (one that takes names only in UTF-8).
std::string Utf8SafeName(std::string_view name);

// name with " (n)" before its extension, within kMaxNameBytes: how two entries of one
// folder that would get the same name are told apart.
std::string NumberedName(const std::string& name, unsigned n);

}  // namespace vantrel
