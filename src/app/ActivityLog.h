#pragma once
// The activity log: a text file in the program folder to which the wizard appends what the
// user selected and what was found.

#include <string>

namespace vantrel {

// The log's path for a program folder.
std::string ActivityLogPath(const std::string& programFolder);

// Appends text (no terminator is added); false when the path is empty or the file cannot be
// opened or written. Nothing is reported to the user.
bool AppendActivityLog(const std::string& path, const std::string& text);

}  // namespace vantrel
