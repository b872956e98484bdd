// libFuzzer target: any bytes as an attribute folder's name, as an attribute's file, and as
// an ACL in the file system's form. Each decoder must stay inside its bytes; an ACL turned
// into a posix_acl value has the version word and eight bytes for every four or eight read.

#include <cstdlib>
#include <string_view>

#include "reiserfs/format/StoredAttribute.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteSpan input(reinterpret_cast<const std::byte*>(data), size);
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  if (const auto owner = ParseAttributeFolderName(name); owner && (size < 3 || size > 17)) std::abort();

  const auto value = StoredAttributeValue(input);
  if (value && (value->size() + kStoredAttributeHeader != size || value->data() != input.data() + 8)) std::abort();
  for (const ByteSpan acl : {input, value.value_or(ByteSpan())}) {
    const auto posix = PosixAclValue(acl);
    if (!posix) continue;
    // Every stored entry takes 4 or 8 bytes and becomes 8.
    const std::size_t entries = (posix->size() - 4) / 8;
    if ((posix->size() - 4) % 8 != 0 || entries * 4 > acl.size() - 4 || entries * 8 < acl.size() - 4) std::abort();
  }
  return 0;
}
