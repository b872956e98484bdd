#pragma once
// What a catalogue build shows while it runs: the six status rows of list 1001, the status
// text 1047 and the progress bar 1046. Values change far more often than a person can
// read them, so they are written to the window at most every 50 ms; Flush writes what is
// still pending, so that the final state is always exact.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

class WindowPort;

enum class StatusRow { CurrentSector = 0, TotalFound, LastFolder, LastFile, FoldersFound, FilesFound };

inline constexpr std::array<const char*, 6> kStatusRowLabels = {
    "Current Sector", "Total File's/Folder's Found", "Last Folder Found", "Last File Found",
    "Folder's Found", "File's Found"};

class BuildStatus {
 public:
  explicit BuildStatus(WindowPort& window) : window_(window) {}

  // Replaces list 1001 by the six labelled rows (columns 0 and 1 of widths 200 and 300,
  // four hidden columns).
  void SetUpRows();

  void SetRow(StatusRow row, std::string value);
  void SetCurrentSector(std::uint64_t sector) { SetRow(StatusRow::CurrentSector, std::to_string(sector)); }
  void SetStatusText(std::string text);
  void SetProgress(int position);
  // Writes every pending value now.
  void Flush();

 private:
  void WriteIfDue();

  WindowPort& window_;
  std::array<std::optional<std::string>, 6> rows_;
  std::optional<std::string> statusText_;
  std::optional<int> progress_;
  std::chrono::steady_clock::time_point lastWritten_{};
};

}  // namespace vantrel
