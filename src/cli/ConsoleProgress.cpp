#include "cli/ConsoleProgress.h"

#include <algorithm>

#include "recovery/CarveDisk.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/PartitionChoice.h"
#include "recovery/SaveFolders.h"

namespace vantrel::cli {

void ConsoleProgress::OnScanned(std::uint64_t sector, std::uint64_t totalSectors) {
  line_.SetText(ProgressLine::kStatus, PartitionScanText(sector, totalSectors));
  line_.SetPercent(ProgressPercent(sector, totalSectors));
}

void ConsoleProgress::OnCylinder(std::uint64_t index, std::uint64_t cylinders) {
  line_.SetPercent(ProgressPercent(index, cylinders));
}

void ConsoleProgress::ShowStatusText(const std::string& text) { line_.SetText(ProgressLine::kStatus, text); }

void ConsoleProgress::ShowProgress(int position) { line_.SetPercent(position); }

void ConsoleProgress::OnLostFolderPass() { line_.SetText(ProgressLine::kStatus, kSearchingLostText); }

void ConsoleProgress::OnFileStarted(const SavingRun& /*run*/, const std::filesystem::path& /*folder*/,
                                    const std::string& name) {
  line_.SetText(ProgressLine::kSavingFile, name);
}

void ConsoleProgress::OnFileProgress(SavingRun& run, std::uint64_t /*written*/, std::uint64_t /*size*/) {
  line_.SetPercent(ProgressPercent(run.bytesWritten, std::max<std::uint64_t>(run.totalBytes, 1)));
}

void ConsoleProgress::OnSearching(std::uint64_t sector) {
  line_.SetText(ProgressLine::kCarving, CarveSearchingText(sector));
}

void ConsoleProgress::OnPercent(int percent) { line_.SetPercent(percent); }

void ConsoleProgress::OnWritingToDisk() { line_.SetText(ProgressLine::kCarving, kWritingFilesText); }

void ConsoleProgress::OnFailure(const std::string& text) { messages_.Tell(text, MessageStyle::SystemError); }

}  // namespace vantrel::cli
