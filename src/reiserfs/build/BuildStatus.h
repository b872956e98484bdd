#pragma once
// What a catalogue build reports while it runs: six status rows, a status text and a
// progress position. Values change far more often than a person can read them, so they
// are handed to the sink at most every 50 ms, and numbers are turned into text only when
// handed over; Flush hands over what is still pending, so that the final state is always
// exact.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vantrel {

// Where a build's status goes: the window's rows and bars, or nowhere.
class BuildStatusSink {
 public:
  virtual ~BuildStatusSink() = default;
  virtual void ShowRow(std::size_t row, const std::string& text) = 0;
  virtual void ShowStatusText(const std::string& text) = 0;
  virtual void ShowProgress(int position) = 0;
  // Every entry has been found; folders whose parent is missing now go to "Lost".
  virtual void OnLostFolderPass() {}
};

// A sink that shows nothing, for builds nobody watches.
class SilentBuildStatus : public BuildStatusSink {
 public:
  void ShowRow(std::size_t, const std::string&) override {}
  void ShowStatusText(const std::string&) override {}
  void ShowProgress(int) override {}
};

// A progress bar position: part of whole in percent, at most 100 (100 when whole is 0).
int ProgressPercent(std::uint64_t part, std::uint64_t whole);

enum class StatusRow { CurrentSector = 0, TotalFound, LastFolder, LastFile, FoldersFound, FilesFound };

inline constexpr std::array<const char*, 6> kStatusRowLabels = {
    "Current Sector", "Total File's/Folder's Found", "Last Folder Found", "Last File Found",
    "Folder's Found", "File's Found"};

class BuildStatus {
 public:
  explicit BuildStatus(BuildStatusSink& sink) : sink_(sink) {}

  void SetRow(StatusRow row, std::string value);
  void SetRow(StatusRow row, std::uint64_t number);
  void SetCurrentSector(std::uint64_t sector) { SetRow(StatusRow::CurrentSector, sector); }
  void SetStatusText(std::string text);
  // The status text prefix + n + "/" + total, for example "Searching Blocks 2048/262144".
  void SetStatusCount(const char* prefix, std::uint64_t n, std::uint64_t total);
  void SetProgress(int position);
  // Hands every pending value over now.
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

  BuildStatusSink& sink_;
  std::array<Value, 6> rows_;
  Text statusText_;
  std::optional<int> progress_;
  std::chrono::steady_clock::time_point lastWritten_{};
  unsigned changesSinceClock_ = 0;
};

}  // namespace vantrel
