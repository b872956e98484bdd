#pragma once
// The folder carved files go into: one that files can be created in.

#include <string>

namespace vantrel {

inline constexpr const char* kUnableToCreateDirectory = "Unable to Create Directory";

// A folder that files can be created in, made (one level) when missing. The probe file it
// creates has a name no file there has yet, and is removed at once.
bool DestinationUsable(const std::string& folder);

}  // namespace vantrel
