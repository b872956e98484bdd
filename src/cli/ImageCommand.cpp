#include "cli/ImageCommand.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

#include "base/ByteCountText.h"
#include "cli/InterruptStopsRun.h"
#include "cli/ProgressLine.h"
#include "recovery/DiskImage.h"

namespace vantrel::cli {

namespace {

// The percentage and the bytes done on the terminal's progress line.
class ImageProgressLine : public ImageProgress {
 public:
  explicit ImageProgressLine(ProgressLine& line) : line_(line) {}
  void OnImaged(std::uint64_t doneBytes, std::uint64_t totalBytes) override {
    line_.SetText(ProgressLine::kStatus, "Imaging " + ByteCountText(doneBytes) + " of " + ByteCountText(totalBytes));
    line_.SetPercent(totalBytes == 0 ? 100 : static_cast<int>(doneBytes * 100 / totalBytes));
  }

 private:
  ProgressLine& line_;
};

void PrintSummary(const DiskImageRun& run, const std::string& out, double seconds) {
  const ImageReport& report = run.report;
  std::uint64_t unread = 0;
  for (const ImageStretch& stretch : report.unread) unread += stretch.length;
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.2f s", seconds);
  std::cerr << (report.stopped ? "Stopped: " : "Done: ") << report.doneBytes << " of " << report.totalBytes
            << " bytes (sectors " << run.firstSector << " to " << run.firstSector + report.totalBytes / 512
            << ") written to " << (out == kStandardOutput ? "standard output" : out) << ", " << report.holeBytes
            << " bytes of zeros left as holes, " << unread / 512 << " unreadable sector(s), " << rate << '\n';
}

std::string CommandLineText() {
  std::string text;
  std::FILE* file = std::fopen("/proc/self/cmdline", "rb");
  if (file == nullptr) return "vantrel-cli image";
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += c == '\0' ? ' ' : static_cast<char>(c);
  std::fclose(file);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

CLI::App* ImageCommand::AddTo(CLI::App& app) {
  auto* image = app.add_subcommand(
      "image",
      "Write the raw bytes of a disk, array, logical volume or container, or of a partition or sector "
      "range of it, to a file or to standard output");
  image->add_option("--out", options_.out, "Image file (sparse where the disk reads zeros), or - for standard output")
      ->required();
  image->add_option("--disk-index", options_.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  auto* partition = image->add_option("--partition", options_.partition,
                                      "Only this partition of the disk's partition table (1-4 primary, 5... logical, "
                                      "or the GPT entry)");
  image->add_option("--start", options_.start, "First sector of the range (default 0)")->excludes(partition);
  image->add_option("--end", options_.end, "Sector after the range (default: the disk's size in sectors)")
      ->excludes(partition);
  image->add_option("--mapfile", options_.mapfile,
                    "Write a GNU ddrescue mapfile of the image: unreadable sectors as bad ('-'), positions from the "
                    "image's start");
  AddExample(image, "vantrel-cli --disk a.img --disk b.img image --disk-index 2 --out array.img --mapfile array.map");
  return image;
}

int ImageCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  if (options_.out == kStandardOutput && ::isatty(STDOUT_FILENO))
    return session.Report(
        {StepOutcome::Refused, "--out -: standard output is a terminal; send it to a file or a pipe", {}});
  DiskImageRequest request{options_.partition, options_.start,   options_.end,
                           options_.out,       options_.mapfile, CommandLineText()};
  ProgressLine line(::isatty(STDERR_FILENO) ? &std::cerr : nullptr);
  ImageProgressLine progress(line);
  std::atomic<int> stopFlag = 0;
  DiskImageRun run;
  const auto began = std::chrono::steady_clock::now();
  StepResult result;
  {
    const InterruptStopsRun interrupt(stopFlag);
    result = SaveDiskImage(session.Disk(options_.diskIndex), request, progress, StopToken(stopFlag), session.Messages(),
                           run);
  }
  line.Finish();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  if (run.report.totalBytes > 0) PrintSummary(run, options_.out, seconds);
  return session.Report(result);
}

}  // namespace vantrel::cli
