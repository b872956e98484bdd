#include "cli/CarveCommand.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <filesystem>
#include <iostream>

#include "app/ControlIds.h"
#include "app/RawRecoveryPanel.h"
#include "app/RawRecoveryPanel.h"

namespace vantrel::cli {

namespace {

std::atomic<bool>* interruptFlag = nullptr;

extern "C" void OnInterrupt(int) {
  if (interruptFlag != nullptr) interruptFlag->store(true);
}

// Ctrl-C answers the Stop question with Yes while the run lasts.
class InterruptStopsRun {
 public:
  explicit InterruptStopsRun(std::atomic<bool>& flag) {
    interruptFlag = &flag;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptStopsRun() {
    ::sigaction(SIGINT, &previous_, nullptr);
    interruptFlag = nullptr;
  }

 private:
  struct sigaction previous_ {};
};

void SetUpPanel(WizardState& state, HeadlessWindow& window, const CarveOptions& options) {
  SetUpRawRecoveryLists(window);
  for (int kind = 0; kind < kKindCount; ++kind) {
    const auto name = std::string(KindTexts(static_cast<RawFileKind>(kind)).shortName);
    const bool wanted = options.types.empty() ||
                        std::find(options.types.begin(), options.types.end(), name) != options.types.end();
    window.ListSetRowChecked(control::kRawFileTypesList, static_cast<std::size_t>(kind), wanted);
  }
  if (options.start || options.end) {
    ChooseSectorRange(state);
    if (options.start) window.SetControlText(control::kRawStartSector, std::to_string(*options.start));
    if (options.end) window.SetControlText(control::kRawEndSector, std::to_string(*options.end));
  } else {
    ChooseEntireDisk(state);
  }
  window.AnswerDestinationWith(options.out);
  state.rawRecovery.exactSizes = options.exactSizes;
  state.rawRecovery.textDocumentCap = options.textDocumentCapMib << 20;
}

void PrintReport(const RawRecoveryReport& report, bool wholeFiles, double seconds) {
  std::array<std::uint64_t, kKindCount> files{};
  std::uint64_t bytes = 0;
  for (const CarvedFile& file : report.files) {
    std::cout << "  " << std::left << std::setw(14) << std::filesystem::path(file.path).filename().string()
              << std::right << " sectors " << std::setw(10) << file.startSector << " to " << std::setw(10)
              << file.endSector << std::setw(12) << file.bytes << " bytes"
              << (file.sizedByStructure ? "  (whole, sized by its structure)" : "") << '\n';
    ++files[KindIndex(file.kind)];
    bytes += file.bytes;
  }
  for (const auto& row : report.resultsRows) std::cout << row << '\n';
  std::cout << (report.stopped ? "Stopped: " : "Done: ") << report.files.size() << " file(s) written (";
  for (int kind = 0; kind < CarvedKindCount(wholeFiles); ++kind)
    std::cout << (kind ? ", " : "") << KindTexts(static_cast<RawFileKind>(kind)).shortName << ' ' << files[kind];
  std::cout << "), " << bytes << " bytes, " << report.carves << " carve(s) found, " << std::fixed
            << std::setprecision(2) << seconds << " s\n";
  if (!report.failures.empty()) std::cout << report.failures.size() << " file(s) could not be written\n";
}

}  // namespace

std::vector<std::string> CarveKindNames() {
  std::vector<std::string> names;
  for (int kind = 0; kind < kKindCount; ++kind) names.emplace_back(KindTexts(static_cast<RawFileKind>(kind)).shortName);
  return names;
}

int RunCarveCommand(CliSession& session, const CarveOptions& options) {
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  WizardState& state = session.State();
  HeadlessWindow& window = session.Window();
  state.CurrentDiskIndex = static_cast<std::uint16_t>(options.diskIndex);
  state.SelectedDiskText = DiskNameTable::DiskName(static_cast<std::size_t>(options.diskIndex));
  state.recoveryMode = 3;
  SetUpPanel(state, window, options);
  if (!StartRawRecovery(state)) return kUsageError;

  const auto began = std::chrono::steady_clock::now();
  {
    InterruptStopsRun interrupt(state.rawRecovery.stopRequested);
    RunRawRecovery(state);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  window.FinishProgressLine();
  const RawRecoveryReport& report = state.rawRecovery.report;
  PrintReport(report, options.exactSizes, seconds);
  if (report.stopped) return kStoppedByUser;
  return report.failures.empty() ? kSuccess : kSomeFilesFailed;
}

}  // namespace vantrel::cli
