#include "logs/RecoveryLogFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantrel {

namespace fs = std::filesystem;

LogWriteResult WriteRecoveryLogFile(const std::string& path, const std::function<bool(std::ostream&)>& write) {
  const std::string partial = path + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) return LogWriteResult::CannotCreate;
    const bool written = write(out);
    out.close();
    if (!written || !out) {
      std::error_code ignored;
      fs::remove(partial, ignored);
      return LogWriteResult::WriteFailed;
    }
  }
  std::error_code error;
  fs::rename(partial, path, error);
  if (error) {
    fs::remove(partial, error);
    return LogWriteResult::WriteFailed;
  }
  return LogWriteResult::Written;
}

LogWriteResult WriteRecoveryLogFile(const std::string& path, const std::string& bytes) {
  return WriteRecoveryLogFile(path, [&](std::ostream& out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  });
}

std::optional<std::string> ReadRecoveryLogFile(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace vantrel
