#pragma once
// The program's settings "FilePath" and "LngFile", kept under the key "VantrelOrgReiserFS"
// in a small text file of ours:
//
//   [VantrelOrgReiserFS]
//   FilePath=/usr/share/vantrel
//   LngFile=EnglishA.dat
//   SupportMailbox=recovery@example.org     (optional: where mailed reports go)
//
// The file is the first that exists of: $VANTREL_SETTINGS; VantrelOrgReiserFS.conf beside
// the program; $XDG_CONFIG_HOME (or ~/.config)/VantrelOrgReiserFS.conf; the one that
// `cmake --install` puts in the installation's settings folder (/etc for /usr, else
// PREFIX/etc); /etc/VantrelOrgReiserFS.conf. The build writes one beside the program.

#include <map>
#include <string>

namespace vantrel {

inline constexpr const char* kSettingsKey = "VantrelOrgReiserFS";
inline constexpr const char* kSettingsFileName = "VantrelOrgReiserFS.conf";

class SettingsStore {
 public:
  // The settings file for a program in programDirectory, empty when there is none.
  static std::string Locate(const std::string& programDirectory);
  // Reads the values under the key; a missing file reads as empty.
  static SettingsStore Load(const std::string& path);

  // A missing value reads as the empty string.
  std::string Read(const std::string& name) const;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace vantrel
