#include "cli/LogFileName.h"

#include <filesystem>

namespace vantrel::cli {

std::string ConsoleRecoveryLogPath(const std::string& file) {
  return std::filesystem::path(file).has_extension() ? file : file + ".SAV";
}

std::string ExistingConsoleRecoveryLog(const std::string& file) {
  std::error_code error;
  if (std::filesystem::exists(file, error)) return file;
  const std::string saved = ConsoleRecoveryLogPath(file);
  return std::filesystem::is_regular_file(saved, error) ? saved : file;
}

}  // namespace vantrel::cli
