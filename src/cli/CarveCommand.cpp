#include "cli/CarveCommand.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <filesystem>
#include <iostream>

#include "cli/InterruptStopsRun.h"
#include "recovery/CarveDisk.h"

namespace vantrel::cli {

namespace {

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
  if (!report.removedFile.empty()) std::cout << "Cut short by the stop and removed: " << report.removedFile << '\n';
}

}  // namespace

std::vector<std::string> CarveKindNames() {
  std::vector<std::string> names;
  for (int kind = 0; kind < kKindCount; ++kind) names.emplace_back(KindTexts(static_cast<RawFileKind>(kind)).shortName);
  return names;
}

CLI::App* CarveCommand::AddTo(CLI::App& app) {
  auto* carve = app.add_subcommand("carve", "Raw recovery: carve Word, Excel, PowerPoint and ZIP files by signature");
  carve->add_option("--out", options_.out, "Folder for the carved files (made if missing, one level)")->required();
  carve->add_option("--disk-index", options_.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  carve->add_option("--start", options_.start, "First sector of the range (default 0)");
  carve->add_option("--end", options_.end, "Sector after the range (default: the disk's size in sectors)");
  carve->add_option("--types", options_.types, "Kinds to keep, comma-separated (default: all)")
      ->delimiter(',')
      ->check(CLI::IsMember(CarveKindNames()));
  carve->add_flag("--exact-sizes", options_.exactSizes,
                  "Carve whole files, each sized by its own structures; finds docx, xlsx, pptx, odt, ods, odp, "
                  "epub, pdf, rtf and other compound files (ole) too");
  carve
      ->add_option("--max-text-mib", options_.textDocumentCapMib,
                   "With --exact-sizes: how far a PDF or RTF file, or a ZIP entry whose sizes follow its data, "
                   "is searched for its end, in MiB (default 256)")
      ->check(CLI::Range(1, 1 << 20));
  AddExample(carve, "vantrel-cli --disk disk.img carve --out carved --types doc,zip --exact-sizes");
  return carve;
}

int CarveCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  const CarveRequest request{options_.start, options_.end, WantedKinds(options_), options_.out};
  RawRecoveryState raw;
  raw.exactSizes = options_.exactSizes;
  raw.textDocumentCap = options_.textDocumentCapMib << 20;
  const auto began = std::chrono::steady_clock::now();
  StepResult result;
  {
    InterruptStopsRun interrupt(raw.requests.stop);
    result = CarveDisk(session.Disk(options_.diskIndex), request, raw, session.Progress(), session.Messages());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  session.FinishProgress();
  if (result.outcome != StepOutcome::Done && result.outcome != StepOutcome::FilesFailed &&
      result.outcome != StepOutcome::Stopped)
    return session.Report(result);
  PrintReport(raw.report, options_.exactSizes, seconds);
  return session.Report(result);
}

}  // namespace vantrel::cli
