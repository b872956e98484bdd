// The whole-file scan's buffer: every sector read once, whichever of the scan, the
// sizing and the copy asks first, and failed reads never served from memory.

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "carving/ScanBuffer.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kChunk = kScanChunkSectors;

// A disk whose sector n holds n in its first eight bytes, counting every sector read.
class CountingDisk {
 public:
  explicit CountingDisk(std::uint64_t sectors) : sectors_(sectors), reads_(sectors, 0) {}

  bool Read(std::uint64_t first, std::uint32_t count, MutableByteSpan bytes, bool& whole) {
    whole = true;
    for (std::uint64_t s = first; s < first + count; ++s) {
      if (s >= sectors_) return false;
      ++reads_[s];
      auto sector = bytes.subspan((s - first) * 512, 512);
      std::fill(sector.begin(), sector.end(), std::byte{0});
      if (failing_.count(s)) {
        whole = false;
        continue;
      }
      std::memcpy(sector.data(), &s, sizeof s);
    }
    return true;
  }
  ScanBuffer::Source Source(std::uint64_t first, std::uint64_t end) {
    ScanBuffer::Source source;
    source.scanRead = [this](std::uint64_t f, std::uint32_t n, MutableByteSpan b) {
      bool whole = false;
      return Read(f, n, b, whole) && whole;
    };
    source.quietRead = [this](std::uint64_t f, std::uint32_t n, MutableByteSpan b) {
      ++quietReads;
      bool whole = false;
      return Read(f, n, b, whole) && whole;
    };
    source.fallback = [this](std::uint64_t offset, MutableByteSpan b) {
      ++fallbacks;
      std::vector<std::byte> sectors(((offset % 512) + b.size() + 511) / 512 * 512);
      bool whole = false;
      if (!Read(offset / 512, static_cast<std::uint32_t>(sectors.size() / 512), sectors, whole) || !whole) return false;
      std::memcpy(b.data(), sectors.data() + offset % 512, b.size());
      return true;
    };
    source.firstSector = first;
    source.endSector = end;
    source.diskSectors = sectors_;
    return source;
  }
  int ReadsOf(std::uint64_t sector) const { return reads_[sector]; }
  int MostReads() const { return *std::max_element(reads_.begin(), reads_.end()); }
  void Fail(std::uint64_t sector) { failing_.insert(sector); }

  int quietReads = 0;
  int fallbacks = 0;

 private:
  std::uint64_t sectors_;
  std::vector<int> reads_;
  std::set<std::uint64_t> failing_;
};

std::uint64_t SectorNumber(ByteSpan bytes) {
  std::uint64_t n = 0;
  std::memcpy(&n, bytes.data(), sizeof n);
  return n;
}

std::uint64_t NumberAt(ScanBuffer& buffer, std::uint64_t sector) {
  std::array<std::byte, 8> bytes{};
  EXPECT_TRUE(buffer.Read(sector * 512, bytes)) << sector;
  return SectorNumber(bytes);
}

TEST(ScanBuffer, SizingAheadOfTheScanAndTheScanAfterItReadEverySectorOnce) {
  CountingDisk disk(10 * kChunk);
  ScanBuffer buffer(disk.Source(5, 9 * kChunk), 3);
  // The scan's chunks are counted from its first sector.
  ByteSpan block = buffer.ScanFrom(5);
  EXPECT_EQ(block.size(), kChunk * 512);
  EXPECT_EQ(SectorNumber(block), 5u);
  // Sizing reads into the next two chunks; the third is out of reach and read directly.
  EXPECT_EQ(NumberAt(buffer, 5 + kChunk + 7), 5 + kChunk + 7);
  EXPECT_EQ(NumberAt(buffer, 5 + 3 * kChunk - 1), 5 + 3 * kChunk - 1);
  EXPECT_EQ(disk.fallbacks, 0);
  EXPECT_EQ(NumberAt(buffer, 5 + 3 * kChunk), 5 + 3 * kChunk);
  EXPECT_EQ(disk.fallbacks, 1);
  // The file ran to the middle of the second chunk: the scan goes on from there, holding
  // what sizing read, then moves the held chunks to make room for the fourth.
  block = buffer.ScanFrom(5 + kChunk + 100);
  EXPECT_EQ(SectorNumber(block), 5 + kChunk + 100);
  EXPECT_EQ(block.size(), (kChunk - 100) * 512);
  EXPECT_EQ(NumberAt(buffer, 5 + 3 * kChunk + 1), 5 + 3 * kChunk + 1);
  EXPECT_EQ(disk.fallbacks, 1);
  for (std::uint64_t sector = 5 + 2 * kChunk; sector < 9 * kChunk; sector += kChunk) {
    block = buffer.ScanFrom(sector);
    EXPECT_EQ(SectorNumber(block), sector);
  }
  // The last chunk stops at the range's end.
  EXPECT_EQ(block.size(), (kChunk - 5) * 512);
  for (std::uint64_t sector = 5; sector < 5 + 3 * kChunk; ++sector) EXPECT_EQ(disk.ReadsOf(sector), 1) << sector;
  EXPECT_EQ(disk.ReadsOf(5 + 3 * kChunk), 2);  // the one read out of reach
  EXPECT_EQ(disk.ReadsOf(0), 0);
}

TEST(ScanBuffer, HeldBytesAreAWholeStartOfTheFileOnly) {
  CountingDisk disk(4 * kChunk);
  ScanBuffer buffer(disk.Source(0, 4 * kChunk), 4);
  buffer.ScanFrom(0);
  // A file from sector 10 whose last bytes lie in the next chunk, not read yet.
  EXPECT_EQ(buffer.Held(10 * 512, 2 * kChunk * 512).size(), (kChunk - 10) * 512);
  EXPECT_EQ(buffer.Held(10 * 512, 1000).size(), 1000u);
  EXPECT_TRUE(buffer.Held(10 * 512 + 1, 1000).empty());
  NumberAt(buffer, kChunk + 3);  // sizing reads part of the next chunk
  EXPECT_EQ(buffer.Held(10 * 512, 2 * kChunk * 512).size(), (kChunk - 10 + 4) * 512);
  EXPECT_EQ(SectorNumber(buffer.Held(kChunk * 512, 512)), kChunk);
}

TEST(ScanBuffer, SectorsTheScanCouldNotReadAreNeitherHeldNorServed) {
  CountingDisk disk(3 * kChunk);
  disk.Fail(40);
  ScanBuffer buffer(disk.Source(0, 3 * kChunk), 4);
  buffer.ScanFrom(0);
  EXPECT_TRUE(buffer.Held(0, 1024).empty());
  std::array<std::byte, 8> bytes{};
  EXPECT_FALSE(buffer.Read(40 * 512, bytes));
  EXPECT_EQ(disk.fallbacks, 1);
  // A quiet read ahead that fails is not tried again; the scan reads the chunk itself.
  disk.Fail(kChunk + 9);
  EXPECT_FALSE(buffer.Read((kChunk + 9) * 512, bytes));
  EXPECT_TRUE(buffer.Read((kChunk + 2) * 512, bytes));
  EXPECT_EQ(SectorNumber(bytes), kChunk + 2);
  EXPECT_EQ(disk.quietReads, 1);
  EXPECT_EQ(disk.fallbacks, 3);
  EXPECT_EQ(SectorNumber(buffer.ScanFrom(kChunk)), kChunk);
  EXPECT_EQ(buffer.Held(kChunk * 512, 512).size(), 0u);
}

TEST(ScanBuffer, SizingMayReadToTheDisksEndButTheScanStopsAtTheRange) {
  CountingDisk disk(kChunk + 100);
  ScanBuffer buffer(disk.Source(0, 50), 4);
  EXPECT_EQ(buffer.ScanFrom(0).size(), 50u * 512);
  EXPECT_EQ(NumberAt(buffer, kChunk + 99), kChunk + 99);
  EXPECT_EQ(disk.fallbacks, 0);
  std::array<std::byte, 8> bytes{};
  EXPECT_FALSE(buffer.Read((kChunk + 100) * 512, bytes));  // beyond the disk
  EXPECT_TRUE(buffer.ScanFrom(50).empty());
  EXPECT_EQ(disk.MostReads(), 1);
}

}  // namespace
}  // namespace vantrel::test
