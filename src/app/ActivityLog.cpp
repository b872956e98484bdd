#include "app/ActivityLog.h"

#include <fstream>

namespace vantrel {

std::string ActivityLogPath(const std::string& programFolder) { return programFolder + "/rtDebugTest.txt"; }

bool AppendActivityLog(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) return false;
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace vantrel
