#pragma once
// Hands a file to the desktop's opener (xdg-open), which starts the user's default program
// for it, without waiting for that program.

#include <string>

namespace vantrel {

// False when the opener could not be started.
bool LaunchDesktopOpener(const std::string& path);

}  // namespace vantrel
