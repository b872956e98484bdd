#include "app/SettingsStore.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vantrel {

namespace {

bool IsFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string SettingsStore::Locate(const std::string& programDirectory) {
  std::string configHome = Environment("XDG_CONFIG_HOME");
  if (configHome.empty() && !Environment("HOME").empty()) configHome = Environment("HOME") + "/.config";
  const std::string candidates[] = {
      Environment("VANTREL_SETTINGS"),
      programDirectory.empty() ? "" : programDirectory + "/" + kSettingsFileName,
      configHome.empty() ? "" : configHome + "/" + kSettingsFileName,
#ifdef VANTREL_INSTALLED_SETTINGS_FOLDER
      std::string(VANTREL_INSTALLED_SETTINGS_FOLDER "/") + kSettingsFileName,
#endif
      std::string("/etc/") + kSettingsFileName,
  };
  for (const std::string& candidate : candidates)
    if (IsFile(candidate)) return candidate;
  return {};
}

SettingsStore SettingsStore::Load(const std::string& path) {
  SettingsStore store;
  std::ifstream in(path);
  std::string line;
  bool inKey = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      inKey = line.substr(1, line.size() - 2) == kSettingsKey;
      continue;
    }
    const auto equals = line.find('=');
    if (!inKey || equals == std::string::npos) continue;
    store.values_[Trim(line.substr(0, equals))] = Trim(line.substr(equals + 1));
  }
  return store;
}

std::string SettingsStore::Read(const std::string& name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? std::string() : found->second;
}

}  // namespace vantrel
