#pragma once
// Base64 (RFC 4648, with padding): how JSON output carries bytes that are not text, such as
// names that are not UTF-8.

#include <string>
#include <string_view>

namespace vantrel {

std::string Base64(std::string_view bytes);

}  // namespace vantrel
