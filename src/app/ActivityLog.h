#pragma once
// The activity log: a text file to which the wizard appends what the user selected and what
// was found. It is kept in the program folder while that folder is the user's own (a build
// tree); an installed program keeps it in the user's state folder instead.

#include <string>

namespace vantrel {

// The log's path for a program folder: "rtDebugTest.txt" in the program folder when the
// user can write there and it is not the installed one; otherwise in
// $XDG_STATE_HOME/vantrel (by default ~/.local/state/vantrel), made if missing. When
// neither can be had, the program folder's path (appending then simply fails).
std::string ActivityLogPath(const std::string& programFolder);

// The user's state folder for this program ($XDG_STATE_HOME/vantrel, or
// $HOME/.local/state/vantrel); empty when neither variable is set.
std::string UserStateFolder();

// Appends text (no terminator is added); false when the path is empty or the file cannot be
// opened or written. Nothing is reported to the user.
bool AppendActivityLog(const std::string& path, const std::string& text);

}  // namespace vantrel
