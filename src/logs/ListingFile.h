#pragma once
// Writing a listing file as a new file: whatever lies at the name (a file or a link, never
// what a link points to) is removed first, and the file is created exclusively without
// following a link.

#include <functional>
#include <iosfwd>
#include <string>

namespace vantrel {

// The lines written to the stream as they are made, never held whole. False when the file
// cannot be created or written.
bool WriteListingStream(const std::string& path, const std::function<void(std::ostream&)>& write);
// The same for a text already made.
bool WriteListingText(const std::string& path, const std::string& text);

}  // namespace vantrel
