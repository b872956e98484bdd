#include "app/SavingProgress.h"

#include <algorithm>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "recovery/SaveFolders.h"

namespace vantrel {

std::string MinutesAndSeconds(std::uint64_t seconds) {
  return std::to_string(seconds / 60) + " Min " + std::to_string(seconds % 60) + " Sec";
}

void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size,
                        std::chrono::milliseconds elapsed, std::chrono::milliseconds waited) {
  using namespace control;
  window.SetControlText(kSavingCurrentFile, std::to_string(written) + " / " + std::to_string(size));
  if (run.totalBytes == 0) run.totalBytes = 1;
  window.SetProgress(kSavingProgress, static_cast<int>(std::min<std::uint64_t>(run.bytesWritten * 100 / run.totalBytes, 100)));
  window.SetControlText(kSavingDataRecovered, std::to_string(run.bytesWritten / 1048576) + " MB");
  window.SetControlText(kSavingDataTotal, std::to_string(std::max<std::uint64_t>(run.totalBytes / 1048576, 1)) + " MB");
  if (elapsed.count() <= 0) return;
  window.SetControlText(kSavingTimeElapsed,
                        MinutesAndSeconds(static_cast<std::uint64_t>(elapsed.count() / 1000)));
  // Time spent on the user's answers is no measure of the writing, and a few bytes in a
  // moment are no measure either.
  const std::int64_t writing = (elapsed - std::max(waited, std::chrono::milliseconds(0))).count();
  if (writing < 1000 || run.bytesWritten == 0) return;
  const std::uint64_t remaining = run.totalBytes > run.bytesWritten ? run.totalBytes - run.bytesWritten : 0;
  const auto seconds = static_cast<std::uint64_t>(static_cast<double>(remaining) * static_cast<double>(writing) /
                                                  static_cast<double>(run.bytesWritten) / 1000.0);
  window.SetControlText(kSavingTimeRemaining, MinutesAndSeconds(seconds));
}

void ClearSavingProgress(WindowPort& window) {
  using namespace control;
  for (const int id : {kSavingFileName, kSavingFilePath, kSavingFilesRecovered, kSavingCurrentFile,
                       kSavingDataRecovered, kSavingDataTotal, kSavingTimeRemaining, kSavingTimeElapsed,
                       kCountingTotalFiles})
    window.SetControlText(id, "");
  window.SetProgress(kSavingProgress, 0);
}

ReplaceAnswer TimedSavePrompts::AskReplaceFile(const std::string& path) {
  return time_.Timed([&] { return prompts_.AskReplaceFile(path); });
}

WriteErrorAnswer TimedSavePrompts::AskWriteError(const std::string& path) {
  return time_.Timed([&] { return prompts_.AskWriteError(path); });
}

void WindowSaveProgress::OnFileStarted(const SavingRun& run, const std::filesystem::path& folder,
                                       const std::string& name) {
  window_.SetControlText(control::kSavingFilesRecovered,
                         std::to_string(run.filesSaved) + " / " + std::to_string(run.totalFiles));
  window_.SetControlText(control::kSavingFilePath, folder.string());
  window_.SetControlText(control::kSavingFileName, name);
}

void WindowSaveProgress::OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) {
  const auto elapsed = std::chrono::steady_clock::now() - started_;
  ShowSavingProgress(window_, run, written, size, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed),
                     questions_.Total() - askedBefore_);
}

}  // namespace vantrel
