#pragma once
// How the console shows the engines' progress: each step's percentage and texts on the
// progress line; a file that raw recovery could not write is told as a message.

#include "cli/ConsoleMessages.h"
#include "cli/ProgressLine.h"
#include "recovery/CarveDisk.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/PartitionChoice.h"
#include "recovery/SaveQuestions.h"

namespace vantrel::cli {

class ConsoleProgress : public PartitionSearchProgress,
                        public BuildStatusSink,
                        public SaveProgress,
                        public RawRecoveryProgress {
 public:
  ConsoleProgress(ProgressLine& line, ConsoleMessages& messages) : line_(line), messages_(messages) {}

  // The partition searches.
  void OnScanned(std::uint64_t sector, std::uint64_t totalSectors) override;
  void OnCylinder(std::uint64_t index, std::uint64_t cylinders) override;
  // The catalogue builds.
  void ShowRow(std::size_t, const std::string&) override {}
  void ShowStatusText(const std::string& text) override;
  void ShowProgress(int position) override;
  void OnLostFolderPass() override;
  // Saving.
  void OnFileStarted(const SavingRun& run, const std::filesystem::path& folder, const std::string& name) override;
  void OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) override;
  // Raw recovery.
  void OnSearching(std::uint64_t sector) override;
  void OnPercent(int percent) override;
  void OnWritingToDisk() override;
  void OnFailure(const std::string& text) override;

 private:
  ProgressLine& line_;
  ConsoleMessages& messages_;
};

}  // namespace vantrel::cli
