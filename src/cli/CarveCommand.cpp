#include "cli/CarveCommand.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <filesystem>
#include <iostream>

#include "app/RawRecoveryPanel.h"
#include "carving/RawRecovery.h"

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

// The kinds named by --types (every kind without it).
std::array<bool, kKindCount> WantedKinds(const CarveOptions& options) {
  std::array<bool, kKindCount> kinds{};
  for (int kind = 0; kind < kKindCount; ++kind) {
    const auto name = std::string(KindTexts(static_cast<RawFileKind>(kind)).shortName);
    kinds[static_cast<std::size_t>(kind)] = options.types.empty() ||
                                            std::find(options.types.begin(), options.types.end(), name) !=
                                                options.types.end();
  }
  return kinds;
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
  if (report.notSized > 0) std::cout << report.notSized << " header(s) found whose file was not whole: not written\n";
}

}  // namespace

std::vector<std::string> CarveKindNames() {
  std::vector<std::string> names;
  for (int kind = 0; kind < kKindCount; ++kind) names.emplace_back(KindTexts(static_cast<RawFileKind>(kind)).shortName);
  return names;
}

int RunCarveCommand(CliSession& session, const CarveOptions& options) {
  // A destination on the disk itself is refused before the disk is even opened.
  if (!session.CheckDestinationApart(options.diskIndex, options.out)) return kUsageError;
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  HeadlessWindow& window = session.Window();
  const std::uint64_t diskSectors = session.DiskSectors(options.diskIndex);
  RawRecoveryJob job{session.Disk(options.diskIndex),
                     options.start.value_or(0),
                     options.end.value_or(diskSectors),
                     diskSectors,
                     WantedKinds(options),
                     options.out};
  // The checks the panel makes before a run: a kind to carve, a range, a destination.
  const auto carved = job.kinds.begin() + CarvedKindCount(options.exactSizes);
  if (std::find(job.kinds.begin(), carved, true) == carved) {
    window.SystemMessage(kNoFileTypeChecked, SystemIcon::Information);
    return kUsageError;
  }
  if (job.startSector >= job.endSector) {
    window.SystemMessage(kStartNotBeforeEnd, SystemIcon::Error);
    return kUsageError;
  }
  if (options.out.empty()) return kUsageError;
  if (!DestinationUsable(options.out)) {
    window.SystemMessage(kUnableToCreateDirectory, SystemIcon::Error);
    return kUsageError;
  }

  RawRecoveryState raw;
  raw.exactSizes = options.exactSizes;
  raw.textDocumentCap = options.textDocumentCapMib << 20;
  RawPanelProgress progress(window);
  const auto began = std::chrono::steady_clock::now();
  {
    InterruptStopsRun interrupt(raw.stopRequested);
    CarveRange(job, raw, progress);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  window.FinishProgressLine();
  const RawRecoveryReport& report = raw.report;
  PrintReport(report, options.exactSizes, seconds);
  if (report.stopped) return kStoppedByUser;
  return report.failures.empty() ? kSuccess : kSomeFilesFailed;
}

}  // namespace vantrel::cli
