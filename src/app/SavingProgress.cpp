#include "app/SavingProgress.h"

#include <algorithm>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "saving/FileSaver.h"
#include "saving/SavingRun.h"

namespace vantrel {

std::string MinutesAndSeconds(std::uint64_t seconds) {
  return std::to_string(seconds / 60) + " Min " + std::to_string(seconds % 60) + " Sec";
}

void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size,
                        std::int64_t now, std::int64_t waited) {
  using namespace control;
  window.SetControlText(kSavingCurrentFile, std::to_string(written) + " / " + std::to_string(size));
  if (run.totalBytes == 0) run.totalBytes = 1;
  window.SetProgress(kSavingProgress, static_cast<int>(std::min<std::uint64_t>(run.bytesWritten * 100 / run.totalBytes, 100)));
  window.SetControlText(kSavingDataRecovered, std::to_string(run.bytesWritten / 1048576) + " MB");
  window.SetControlText(kSavingDataTotal, std::to_string(std::max<std::uint64_t>(run.totalBytes / 1048576, 1)) + " MB");
  const std::int64_t elapsed = now - run.saveStartTime;
  if (elapsed <= 0) return;
  // Time spent on the user's answers is no measure of the writing.
  const std::int64_t writing = std::max<std::int64_t>(elapsed - std::max<std::int64_t>(waited, 0), 1);
  const std::uint64_t rate = run.bytesWritten / static_cast<std::uint64_t>(writing);
  if (rate == 0) return;
  const std::uint64_t remaining = run.totalBytes > run.bytesWritten ? (run.totalBytes - run.bytesWritten) / rate : 0;
  window.SetControlText(kSavingTimeRemaining, MinutesAndSeconds(remaining));
  window.SetControlText(kSavingTimeElapsed, MinutesAndSeconds(static_cast<std::uint64_t>(elapsed)));
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
  const std::int64_t asked = SecondsNow();
  const ReplaceAnswer answer = prompts_.AskReplaceFile(path);
  waited_ += SecondsNow() - asked;
  return answer;
}

WriteErrorAnswer TimedSavePrompts::AskWriteError(const std::string& path) {
  const std::int64_t asked = SecondsNow();
  const WriteErrorAnswer answer = prompts_.AskWriteError(path);
  waited_ += SecondsNow() - asked;
  return answer;
}

void WindowSaveProgress::OnFileStarted(const SavingRun& run, const std::filesystem::path& folder,
                                       const std::string& name) {
  window_.SetControlText(control::kSavingFilesRecovered,
                         std::to_string(run.filesSaved) + " / " + std::to_string(run.totalFiles));
  window_.SetControlText(control::kSavingFilePath, folder.string());
  window_.SetControlText(control::kSavingFileName, name);
}

void WindowSaveProgress::OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) {
  ShowSavingProgress(window_, run, written, size, SecondsNow(), prompts_.Waited());
}

}  // namespace vantrel
