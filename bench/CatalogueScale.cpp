// One catalogue build of one image, measured from inside the process: the objects found,
// the build's time, the bytes the catalogue itself holds, and the process's resident
// memory before the build and at its peak. bench/catalogue_scale.sh runs it once per
// image (peak memory is per process) and prints the figures per object and per 1,000
// objects, beside an empty run.
//
//   catalogue_scale --image=IMG [--start=SECTOR] [--advanced] [--empty]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "base/StopToken.h"
#include "disk/DiskNameTable.h"
#include "disk/FileDiskSource.h"
#include "disk/SectorReader.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"

namespace {

using namespace vantrel;

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

long PeakKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User and system time of the process so far: on a shared machine, steadier than the
// wall clock.
double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  std::string image;
  std::uint64_t start = 2048;
  bool advanced = false;
  bool empty = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--image=", 0) == 0)
      image = argument.substr(8);
    else if (argument.rfind("--start=", 0) == 0)
      start = std::strtoull(argument.c_str() + 8, nullptr, 10);
    else if (argument == "--advanced")
      advanced = true;
    else if (argument == "--empty")
      empty = true;
    else
      image.clear(), i = argc;
  }
  if (image.empty()) {
    std::cerr << "usage: catalogue_scale --image=IMG [--start=SECTOR] [--advanced] [--empty]\n";
    return 2;
  }
  DiskNameTable names;
  names.Add({image, {}, std::make_unique<FileDiskSource>(image)});
  SectorReader reader(names);
  const DiskReader disk(reader, 0);
  const PartitionSource partition{disk, start, ReadPartitionSuperblock(disk, start)};
  const long before = ResidentKb();
  std::size_t objects = 0;
  std::size_t catalogueBytes = 0;
  double seconds = 0;
  double cpu = 0;
  if (!empty) {
    StopToken stop;
    SilentBuildStatus sink;
    const double cpuBegin = CpuSeconds();
    const auto begin = std::chrono::steady_clock::now();
    const Catalogue catalogue = advanced ? BuildAdvancedCatalogue(partition, stop, sink)
                                         : BuildQuickCatalogue(partition, stop, sink);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    cpu = CpuSeconds() - cpuBegin;
    objects = catalogue.folderList.size() + catalogue.fileList.size();
    catalogueBytes = catalogue.MemoryBytes();
  }
  std::printf("objects %zu seconds %.3f catalogue_bytes %zu rss_before_kb %ld peak_kb %ld cpu_seconds %.3f\n", objects,
              seconds, catalogueBytes, before, PeakKb(), cpu);
  return 0;
}
