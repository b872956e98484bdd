#pragma once
// Extended attributes as the file system keeps them: each attribute of an object is a file
// of the private folder, ".reiserfs_priv/xattrs/<object id>.<generation>/<name>" (both
// numbers in upper-case hexadecimal, the attribute's whole name such as "user.note" as the
// file's name). The file holds an 8-byte header (a magic number and a checksum of the value)
// and then the value. ACLs are kept in a form of their own, which is turned here into the
// value the system's posix_acl xattrs carry.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/LittleEndian.h"

namespace vantrel {

inline constexpr std::string_view kAttributesFolderName = "xattrs";
inline constexpr std::uint32_t kStoredAttributeMagic = 0x52465841;
inline constexpr std::size_t kStoredAttributeHeader = 8;
// The kernel keeps no attribute value larger than this.
inline constexpr std::size_t kMostAttributeBytes = 65536;

inline constexpr std::string_view kAccessAclName = "system.posix_acl_access";
inline constexpr std::string_view kDefaultAclName = "system.posix_acl_default";

struct AttributeOwner {
  std::uint32_t objectId = 0;
  std::uint32_t generation = 0;
};

// The object a folder of "xattrs" holds the attributes of; nothing for another name.
std::optional<AttributeOwner> ParseAttributeFolderName(std::string_view name);

// The value of an attribute file's body; nothing when the header is missing or wrong.
std::optional<ByteSpan> StoredAttributeValue(ByteSpan file);

// An ACL as the file system keeps it (a version word 1, then per entry its tag and
// permissions, and the user or group id for named users and groups) as the posix_acl xattr
// value (version 2, every entry with an id, 0xFFFFFFFF where there is none); nothing for a
// version, tag or length that is not one.
std::optional<std::vector<std::byte>> PosixAclValue(ByteSpan stored);

inline bool IsAclName(std::string_view name) { return name == kAccessAclName || name == kDefaultAclName; }

}  // namespace vantrel
