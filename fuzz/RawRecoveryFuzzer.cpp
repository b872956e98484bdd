// libFuzzer target: any bytes as a disk carved by raw recovery. The first byte chooses the
// mode (bit 0: files carved whole, sized by their own structures); the rest is the disk.
// Every kind is wanted. Carved files go into a private folder, and none may be longer than
// the disk allows, lie outside the folder, or be missing from the report.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "FuzzDisk.h"
#include "carving/CarvePlan.h"
#include "carving/RawRecovery.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::OutputFolder output;
  if (size == 0) return 0;
  const ByteSpan input(reinterpret_cast<const std::byte*>(data), size);
  fuzz::FuzzDisk disk(std::vector<std::byte>(input.begin() + 1, input.end()));
  const std::uint64_t sectors = (size - 1 + kSectorSize - 1) / kSectorSize;

  RawRecoveryState raw;
  raw.exactSizes = (data[0] & 1) != 0;
  raw.textDocumentCap = 1 << 20;
  RawRecoveryJob job{disk.Reader(), 0, sectors, sectors, {}, output.Destination()};
  job.kinds.fill(true);
  RawRecoveryProgress progress;
  CarveRange(job, raw, progress);

  // A short carve is always 10,240 bytes; a longer one repeats at most one chunk after its
  // end sector.
  const std::uint64_t longest = std::max(kShortCarveBytes, (sectors + kCarveChunkSectors) * kSectorSize);
  std::size_t onDisk = 0;
  for (const auto& entry : std::filesystem::directory_iterator(output.Destination())) {
    ++onDisk;
    if (entry.file_size() > longest) {
      std::fprintf(stderr, "fuzz: %s has %ju bytes, the disk %ju\n", entry.path().c_str(),
                   static_cast<std::uintmax_t>(entry.file_size()), static_cast<std::uintmax_t>(longest));
      std::abort();
    }
  }
  if (onDisk != raw.report.files.size()) std::abort();
  output.CheckAndClear();
  return 0;
}
