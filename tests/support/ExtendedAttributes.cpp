#include "support/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace vantrel::test {

std::map<std::string, std::string> ExtendedAttributesInHex(const std::filesystem::path& path) {
  std::map<std::string, std::string> attributes;
  std::vector<char> names(65536);
  const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
    const std::string name(names.data() + at);
    std::vector<unsigned char> value(65536);
    const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
    std::string hex = "0x";
    for (ssize_t i = 0; i < size; ++i) {
      char two[3];
      std::snprintf(two, sizeof two, "%02x", value[static_cast<std::size_t>(i)]);
      hex += two;
    }
    attributes[name] = hex;
  }
  return attributes;
}

}  // namespace vantrel::test
