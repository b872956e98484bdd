#pragma once
// A recovery log on disk: written beside its target and renamed over it only once whole,
// and read back whole, from regular files only.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace vantrel {

enum class LogWriteResult { Written, CannotCreate, WriteFailed };

// A log that cannot be written whole never replaces an older one at path. write puts the
// log's bytes into the stream it is given and returns false when it could not.
LogWriteResult WriteRecoveryLogFile(const std::string& path, const std::function<bool(std::ostream&)>& write);
LogWriteResult WriteRecoveryLogFile(const std::string& path, const std::string& bytes);

// The file's bytes; nothing when it is not a regular file (a device or a pipe could make the
// read go on without end) or cannot be read.
std::optional<std::string> ReadRecoveryLogFile(const std::string& path);

}  // namespace vantrel
