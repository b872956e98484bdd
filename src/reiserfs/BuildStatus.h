#pragma once
// What a catalogue build shows while it runs: the six status rows of list 1001, the status
// text 1047 and the progress bar 1046. Values change far more often than a person can
// read them, so they are written to the window at most every 50 ms, and numbers are
// turned into text only when written; Flush writes what is still pending, so that the
// final state is always exact.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vantrel {

class WindowPort;

// A progress bar position: part of whole in percent, at most 100 (100 when whole is 0).
int ProgressPercent(std::uint64_t part, std::uint64_t whole);

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
  void SetRow(StatusRow row, std::uint64_t number);
  void SetCurrentSector(std::uint64_t sector) { SetRow(StatusRow::CurrentSector, sector); }
  void SetStatusText(std::string text);
  // The status text prefix + n + "/" + total, for example "Searching Blocks 2048/262144".
  void SetStatusCount(const char* prefix, std::uint64_t n, std::uint64_t total);
  void SetProgress(int position);
  // Writes every pending value now.
  void Flush();

 private:
  struct Count {
    const char* prefix;
    std::uint64_t n;
    std::uint64_t total;
  };
  using Value = std::variant<std::monostate, std::string, std::uint64_t>;
  using Text = std::variant<std::monostate, std::string, Count>;

  void WriteIfDue();

  WindowPort& window_;
  std::array<Value, 6> rows_;
  Text statusText_;
  std::optional<int> progress_;
  std::chrono::steady_clock::time_point lastWritten_{};
  unsigned changesSinceClock_ = 0;
};

}  // namespace vantrel
