#include "app/RunSummaries.h"

#include <array>
#include <cstdio>
#include <vector>

#include "recovery/CarveDisk.h"
#include "recovery/SaveFolders.h"

namespace vantrel {

namespace {

constexpr std::size_t kNamesListed = 5;

void AddCount(std::string& text, const char* label, std::size_t count) {
  text += "\r\n" + std::string(label) + " : " + std::to_string(count);
}

void AddNames(std::string& text, const std::vector<std::string>& paths) {
  for (std::size_t i = 0; i < paths.size() && i < kNamesListed; ++i) text += "\r\n    " + paths[i];
  if (paths.size() > kNamesListed) text += "\r\n    and " + std::to_string(paths.size() - kNamesListed) + " more";
}

}  // namespace

std::string SavingSummary(const SavingRun& run, const SavingEnd& end) {
  std::string text = end.stopped ? "Saving stopped." : "Saving complete.";
  if (end.catalogueStopped)
    text += "\r\n" + std::string(kIncompleteCatalogue) + ": what it did not reach was not saved.";
  AddCount(text, "Files written", run.filesWritten);
  text += " (" + ByteCountText(run.bytesWritten) + ")";
  AddCount(text, "Existing files kept", run.filesKeptExisting);
  AddCount(text, "Files that could not be written", run.filesFailed);
  AddCount(text, "Files cut short", run.shortFiles.size());
  AddNames(text, run.shortFiles);
  AddCount(text, "Files with unreadable parts (saved as zeros)", run.damagedFiles.size());
  AddNames(text, run.damagedFiles);
  if (!run.renamedEntries.empty()) {
    AddCount(text, "Saved under another name (the destination cannot hold the name, or it was taken)",
             run.renamedEntries.size());
    std::vector<std::string> renamed;
    for (const RenamedEntry& entry : run.renamedEntries)
      renamed.push_back(entry.savedPath + " (named \"" + entry.nameOnDisk + "\" on the disk)");
    AddNames(text, renamed);
  }
  if (const std::string notKept = NotKeptText(run.notKept); !notKept.empty()) text += "\r\n" + notKept;
  if (!end.removedFile.empty()) text += "\r\nCut short by Stop and removed :\r\n    " + end.removedFile;
  return text;
}

std::string LogSavedSummary(const std::string& path, bool catalogueStopped) {
  std::string text = "Recovery information saved to\r\n" + path;
  if (catalogueStopped) text += "\r\n" + std::string(kIncompleteCatalogue) + " (the log says so too).";
  return text;
}

std::string RawRecoverySummary(const RawRecoveryReport& report) {
  std::string text = report.stopped ? "Raw recovery stopped." : "Raw recovery complete.";
  std::array<std::size_t, kKindCount> perKind{};
  std::uint64_t bytes = 0;
  for (const CarvedFile& file : report.files) {
    ++perKind[static_cast<std::size_t>(KindIndex(file.kind))];
    bytes += file.bytes;
  }
  AddCount(text, "Files written", report.files.size());
  text += " (" + ByteCountText(bytes) + ")";
  for (std::size_t k = 0; k < kKindCount; ++k)
    if (perKind[k] > 0)
      text += "\r\n    " + std::string(KindTexts(static_cast<RawFileKind>(k)).resultsRow) + std::to_string(perKind[k]);
  AddCount(text, "Files that could not be written", report.failures.size());
  AddNames(text, report.failures);
  // Whole-file runs only: a header whose file did not hold together gives no file.
  if (report.notSized > 0) AddCount(text, "Headers found whose file was not whole (not written)", report.notSized);
  if (!report.removedFile.empty()) text += "\r\nCut short by Stop and removed :\r\n    " + report.removedFile;
  return text;
}

}  // namespace vantrel
