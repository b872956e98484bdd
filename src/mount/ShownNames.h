#pragma once
// The names a mounted folder shows: a name from a damaged disk that no path can hold (empty,
// ".", "..", holding "/" or NUL, longer than 255 bytes) is made holdable, and two entries
// of one folder that would show the same name are told apart by " (2)", " (3)", ...

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::mount {

// The names of one folder's entries, in the order given, each holdable and all distinct.
// A name that is unique as it stands is kept, whatever the order.
std::vector<std::string> DistinctNames(const std::vector<std::string_view>& names);

}  // namespace vantrel::mount
