#include "cli/LogFileName.h"

#include <filesystem>

namespace vantrel::cli {

std::string ConsoleRecoveryLogPath(const std::string& file) {
  return std::filesystem::path(file).has_extension() ? file : file + ".SAV";
}

}  // namespace vantrel::cli
