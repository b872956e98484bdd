// Times both catalogue builds on a disk image against a plain sequential read of the same
// partition (1 MiB reads into an aligned buffer, as dd bs=1M does, and dd itself).
//
//   cmake -S . -B build -DVANTREL_BUILD_BENCH=ON && ninja -C build catalogue_bench
//   build/bin/catalogue_bench --image=IMG [--start=SECTOR] [benchmark flags]
//
// The partition is the first one the quick partition search finds, or the one at
// --start. Reads come from the page cache after the first run, for the builds and the
// plain reads alike. After the runs a summary gives the time per 1,000 objects and the
// advanced build's time over the read's.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "base/AlignedBuffer.h"
#include "base/StopToken.h"
#include "disk/DiskNameTable.h"
#include "disk/FileDiskSource.h"
#include "disk/SectorReader.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/search/PartitionSearch.h"

namespace {

using namespace vantrel;

std::string gImage;
long long gStart = -1;
std::map<std::string, double> gSecondsPerRun;  // the last measurement of each benchmark

// The image as a disk, and the partition measured: the first one the partition tables list
// (or the one at --start, or at sector 0 when there is none).
struct Session {
  DiskNameTable names;
  std::unique_ptr<SectorReader> reader;
  std::unique_ptr<DiskReader> disk;
  std::uint64_t start = 0;

  Session() {
    names.Add({gImage, {}, std::make_unique<FileDiskSource>(gImage)});
    reader = std::make_unique<SectorReader>(names);
    disk = std::make_unique<DiskReader>(*reader, 0);
    if (gStart < 0) {
      PartitionSearchProgress quiet;
      const PartitionSearchResult found = SearchPartitionTables(*disk, quiet);
      gStart = found.partitions.empty() ? 0 : static_cast<long long>(found.partitions.front().start);
    }
    start = static_cast<std::uint64_t>(gStart);
  }

  PartitionSource Partition() const { return {*disk, start, ReadPartitionSuperblock(*disk, start)}; }

  std::uint64_t PartitionBytes() const {
    const PartitionSource partition = Partition();
    return std::uint64_t{partition.superblock.blockCount} * partition.superblock.blockSize;
  }
};

template <typename Build>
void TimeBuild(benchmark::State& bench, const char* name, Build build) {
  const Session session;
  const PartitionSource partition = session.Partition();
  double seconds = 0;
  std::size_t objects = 0;
  std::optional<Catalogue> built;
  for (auto _ : bench) {
    // Freeing the previous run's catalogue is not part of this run's work.
    bench.PauseTiming();
    built.reset();
    bench.ResumeTiming();
    StopToken stop;
    SilentBuildStatus sink;
    const auto begin = std::chrono::steady_clock::now();
    built.emplace(build(partition, stop, sink));
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    objects = built->folderList.size() + built->fileList.size();
  }
  bench.counters["objects"] = static_cast<double>(objects);
  bench.counters["ms_per_1000_objects"] = objects ? seconds * 1e3 * 1000 / static_cast<double>(objects) : 0;
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * session.PartitionBytes()));
  gSecondsPerRun[name] = seconds;
}

void BM_QuickCatalogueBuild(benchmark::State& bench) { TimeBuild(bench, "quick", BuildQuickCatalogue); }
void BM_AdvancedCatalogueBuild(benchmark::State& bench) { TimeBuild(bench, "advanced", BuildAdvancedCatalogue); }

// The partition read in 1 MiB pieces, as dd bs=1M reads it, in this process.
void BM_SequentialRead(benchmark::State& bench) {
  const Session session;
  const std::uint64_t bytes = session.PartitionBytes();
  AlignedBuffer buffer(std::size_t{1} << 20);
  double seconds = 0;
  for (auto _ : bench) {
    const auto begin = std::chrono::steady_clock::now();
    for (std::uint64_t done = 0; done < bytes; done += buffer.Size())
      session.disk->ReadQuietly(session.start + done / kSectorSize, buffer.Bytes());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
  gSecondsPerRun["read"] = seconds;
}

// dd itself, process start included.
void BM_DdCommand(benchmark::State& bench) {
  const Session session;
  const std::uint64_t bytes = session.PartitionBytes();
  const std::uint64_t startBytes = session.start * kSectorSize;
  const std::string command = "dd if='" + gImage +
                              "' of=/dev/null bs=1M iflag=skip_bytes,count_bytes skip=" + std::to_string(startBytes) +
                              " count=" + std::to_string(bytes) + " status=none";
  double seconds = 0;
  for (auto _ : bench) {
    const auto begin = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) bench.SkipWithError("dd failed");
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations() * bytes));
  gSecondsPerRun["dd"] = seconds;
}

BENCHMARK(BM_QuickCatalogueBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdvancedCatalogueBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DdCommand)->Unit(benchmark::kMillisecond);

void PrintSummary() {
  const auto seconds = [](const char* name) {
    const auto found = gSecondsPerRun.find(name);
    return found == gSecondsPerRun.end() ? 0.0 : found->second;
  };
  if (seconds("advanced") > 0 && seconds("read") > 0)
    std::printf("advanced build / 1 MiB sequential read: %.2f\n", seconds("advanced") / seconds("read"));
  if (seconds("advanced") > 0 && seconds("dd") > 0)
    std::printf("advanced build / dd bs=1M: %.2f\n", seconds("advanced") / seconds("dd"));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--image=", 0) == 0)
      gImage = argument.substr(8);
    else if (argument.rfind("--start=", 0) == 0)
      gStart = std::stoll(argument.substr(8));
    else
      rest.push_back(argv[i]);
  }
  if (gImage.empty()) {
    std::cerr << "usage: catalogue_bench --image=IMG [--start=SECTOR] [benchmark flags]\n";
    return 1;
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
