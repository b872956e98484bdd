#pragma once
// The question a failed read asks: "Bad Sector Encountered", answered Retry, Skip, Retry All
// or Skip All. It names the sectors that failed and, while a file is being read for saving,
// that file. The window asks the user; the console answers from a flag or a terminal.

#include <cstdint>
#include <string>

namespace vantrel {

enum class BadSectorPolicy { Retry = 0, Skip = 1, RetryAll = 2, SkipAll = 3 };

struct BadSectorQuestion {
  std::uint64_t firstSector = 0;  // the failed read's first sector, absolute
  std::uint32_t count = 0;        // the sectors of that read
  std::string file;               // the file the read was for; empty when none was named
};

// "Sector 2048" or "Sectors 2048 - 2055", and "File : <file>" on a line of its own when
// the question names one.
std::string BadSectorDetails(const BadSectorQuestion& question);

class BadSectorPrompt {
 public:
  virtual ~BadSectorPrompt() = default;
  virtual BadSectorPolicy AskBadSector(const BadSectorQuestion& question) = 0;
};

// While it lives, the reads this thread makes are for the named file, and a bad-sector
// question asked on their behalf names it. Scopes nest; the outer name comes back.
class ReadsForFile {
 public:
  explicit ReadsForFile(std::string file);
  ~ReadsForFile();
  ReadsForFile(const ReadsForFile&) = delete;
  ReadsForFile& operator=(const ReadsForFile&) = delete;

  // The file named by the innermost scope of this thread; empty outside every scope.
  static const std::string& Current();

 private:
  std::string outer_;
};

}  // namespace vantrel
