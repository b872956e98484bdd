#include "disk/containers/QcowTruncation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace vantrel {

namespace {

constexpr std::uint64_t kOffsetMask = 0x00fffffffffffe00ULL;
constexpr std::uint64_t kCompressedFlag = std::uint64_t{1} << 62;
// The bits of an L1 entry and of a standard L2 entry that the format keeps zero; bit 0 of an
// L2 entry ("reads as zeros") is left to the library.
constexpr std::uint64_t kL1Reserved = 0x7f000000000001ffULL;
constexpr std::uint64_t kL2Reserved = 0x3f000000000001feULL;
constexpr std::uint32_t kMinClusterBits = 9;
constexpr std::uint32_t kMaxClusterBits = 21;
// More L1 entries than a disk of 2^63 bytes needs at the smallest clusters are never read.
constexpr std::uint64_t kMaxL1Entries = std::uint64_t{1} << 24;

std::uint64_t BigEndian(const unsigned char* bytes, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

class File {
 public:
  explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~File() {
    if (fd_ >= 0) ::close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool Read(std::uint64_t offset, unsigned char* into, std::size_t bytes) const {
    return fd_ >= 0 && ::pread(fd_, into, bytes, static_cast<off_t>(offset)) == static_cast<ssize_t>(bytes);
  }
  std::uint64_t Size() const {
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  }

 private:
  int fd_;
};

void AddRange(std::vector<DiskByteRange>& ranges, std::uint64_t start, std::uint64_t length) {
  if (!ranges.empty() && ranges.back().start + ranges.back().length == start)
    ranges.back().length += length;
  else
    ranges.push_back({start, length});
}

}  // namespace

std::vector<DiskByteRange> FindCutOffQcowClusters(const std::string& path) {
  std::vector<DiskByteRange> ranges;
  const File file(path);
  std::array<unsigned char, 48> header{};
  if (!file.Read(0, header.data(), header.size())) return ranges;
  const std::uint64_t version = BigEndian(&header[4], 4);
  const auto clusterBits = static_cast<std::uint32_t>(BigEndian(&header[20], 4));
  if (BigEndian(header.data(), 4) != 0x514649fb || (version != 2 && version != 3) || clusterBits < kMinClusterBits ||
      clusterBits > kMaxClusterBits)
    return ranges;
  const std::uint64_t fileSize = file.Size();
  const std::uint64_t diskSize = BigEndian(&header[24], 8);
  const std::uint64_t clusterBytes = std::uint64_t{1} << clusterBits;
  const std::uint64_t entriesPerTable = clusterBytes / 8;
  const std::uint64_t tableSpan = clusterBytes * entriesPerTable;  // disk bytes one L2 table maps
  const std::uint64_t needed = diskSize / tableSpan + (diskSize % tableSpan != 0 ? 1 : 0);
  const std::uint64_t l1Entries = std::min({BigEndian(&header[36], 4), needed, kMaxL1Entries});
  const std::uint64_t l1Offset = BigEndian(&header[40], 8);
  // The compressed cluster's offset bits, as qemu packs them.
  const std::uint32_t offsetBits = 62 - (clusterBits - 8);
  std::vector<unsigned char> table(clusterBytes);
  for (std::uint64_t i = 0; i < l1Entries; ++i) {
    std::array<unsigned char, 8> entry{};
    const std::uint64_t tableStart = i * tableSpan;
    if (tableStart >= diskSize) break;
    const std::uint64_t span = std::min(tableSpan, diskSize - tableStart);
    if (l1Offset > fileSize || (fileSize - l1Offset) / 8 <= i) {
      AddRange(ranges, tableStart, span);  // the L1 table itself is cut off here
      continue;
    }
    if (!file.Read(l1Offset + i * 8, entry.data(), entry.size())) continue;
    const std::uint64_t l1 = BigEndian(entry.data(), 8);
    const std::uint64_t l2Offset = l1 & kOffsetMask;
    if ((l1 & kL1Reserved) != 0 || l2Offset % clusterBytes != 0) {
      AddRange(ranges, tableStart, span);  // not a table the format allows: never handed on
      continue;
    }
    if (l2Offset == 0) continue;
    if (l2Offset > fileSize || fileSize - l2Offset < clusterBytes || !file.Read(l2Offset, table.data(), table.size())) {
      AddRange(ranges, tableStart, span);
      continue;
    }
    for (std::uint64_t j = 0; j < entriesPerTable && j * clusterBytes < span; ++j) {
      const std::uint64_t l2 = BigEndian(&table[j * 8], 8);
      std::uint64_t dataStart = 0;
      std::uint64_t dataBytes = 0;
      bool damaged = false;
      if ((l2 & kCompressedFlag) != 0) {
        // Whole sectors from the one the data starts in; the last may run past the file's end.
        dataStart = (l2 & ((std::uint64_t{1} << offsetBits) - 1)) & ~std::uint64_t{511};
        dataBytes = (((l2 >> offsetBits) & ((std::uint64_t{1} << (clusterBits - 8)) - 1)) + 1) * 512;
        damaged = dataStart > fileSize || (fileSize + 511) / 512 * 512 - dataStart < dataBytes;
      } else {
        dataStart = l2 & kOffsetMask;
        dataBytes = dataStart == 0 ? 0 : clusterBytes;
        damaged = (l2 & kL2Reserved) != 0 || dataStart % clusterBytes != 0 ||
                  (dataBytes != 0 && (dataStart > fileSize || fileSize - dataStart < dataBytes));
      }
      if (damaged) AddRange(ranges, tableStart + j * clusterBytes, std::min(clusterBytes, span - j * clusterBytes));
    }
  }
  return ranges;
}

bool TouchesAny(const std::vector<DiskByteRange>& ranges, std::uint64_t offset, std::uint64_t length) {
  if (length == 0) return false;
  // The first range that ends after offset.
  const auto after = std::upper_bound(ranges.begin(), ranges.end(), offset,
                                      [](std::uint64_t at, const DiskByteRange& r) { return at < r.start + r.length; });
  return after != ranges.end() && after->start < offset + length;
}

}  // namespace vantrel
