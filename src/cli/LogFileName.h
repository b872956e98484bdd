#pragma once
// The file a console user's recovery log goes to. The window upper-cases the name it is
// given; the console writes the name as typed, so that the same name loads it back.

#include <string>

namespace vantrel::cli {

// The path as given, with ".SAV" appended only when its file name has no extension
// ("case" gives "case.SAV"; "case.sav" and "case.log" stay as they are).
std::string ConsoleRecoveryLogPath(const std::string& file);

// The log to load for a name given to --log: the file itself when it exists, else the file
// "log save" writes for that name (case gives case.SAV), else the name unchanged.
std::string ExistingConsoleRecoveryLog(const std::string& file);

}  // namespace vantrel::cli
