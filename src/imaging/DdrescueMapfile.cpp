#include "imaging/DdrescueMapfile.h"

#include <cinttypes>
#include <cstdio>

namespace vantrel {

namespace {

std::string Line(std::uint64_t position, std::uint64_t size, char status) {
  char line[64];
  std::snprintf(line, sizeof line, "0x%08" PRIX64 "  0x%08" PRIX64 "  %c\n", position, size, status);
  return line;
}

}  // namespace

std::string DdrescueMapfileText(const ImageReport& report, const std::string& commandLine) {
  std::string text = "# Mapfile. Created by vantrel-cli\n# Command line: " + commandLine + "\n";
  // Where the copy stood, and what it was doing: finished, or still copying what was not tried.
  const bool finished = report.doneBytes >= report.totalBytes;
  char current[64];
  std::snprintf(current, sizeof current, "0x%08" PRIX64 "     %c               1\n", report.doneBytes,
                finished ? '+' : '?');
  text += "# current_pos  current_status  current_pass\n";
  text += current;
  text += "#      pos        size  status\n";
  std::uint64_t at = 0;
  for (const ImageStretch& bad : report.unread) {
    if (bad.offset > at) text += Line(at, bad.offset - at, '+');
    text += Line(bad.offset, bad.length, '-');
    at = bad.offset + bad.length;
  }
  if (report.doneBytes > at) text += Line(at, report.doneBytes - at, '+');
  if (!finished) text += Line(report.doneBytes, report.totalBytes - report.doneBytes, '?');
  return text;
}

}  // namespace vantrel
