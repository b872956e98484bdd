// A VHDX whose host stopped before it applied its log: the active sequence found by the
// format's rules (the newest run of valid entries, from its head's tail), replayed in memory
// over a file qemu-img made, and a log too damaged to replay told with what it would change.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "base/LittleEndian.h"
#include "disk/containers/ContainerSource.h"
#include "disk/containers/OpenDiskImage.h"
#include "disk/containers/VhdxLogSequence.h"
#include "disk/containers/VhdxPendingLog.h"
#include "support/ContainerFixtures.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::byte>;
constexpr std::array<std::byte, 16> kGuid = [] {
  std::array<std::byte, 16> guid{};
  guid.fill(std::byte{0x5a});
  return guid;
}();

// A write the entry logs: a sector of `fill` at `offset`, or 4 KiB of zeros where fill is none.
struct Logged {
  std::uint64_t offset;
  std::optional<std::byte> fill;
};

void MakeChecksumHold(std::span<std::byte> bytes) {
  WriteLittleEndian<std::uint32_t>(bytes, 4, 0);
  WriteLittleEndian<std::uint32_t>(bytes, 4, Crc32c(bytes));
}

// A log entry as the format lays it out: its header and descriptors, then a data sector a data descriptor.
Bytes LogEntry(std::uint64_t sequence, std::uint32_t tail, const std::vector<Logged>& writes) {
  Bytes entry(kVhdxLogSector);
  std::copy_n(reinterpret_cast<const std::byte*>("loge"), 4, entry.begin());
  WriteLittleEndian<std::uint32_t>(entry, 12, tail);
  WriteLittleEndian<std::uint64_t>(entry, 16, sequence);
  WriteLittleEndian<std::uint32_t>(entry, 24, static_cast<std::uint32_t>(writes.size()));
  std::copy(kGuid.begin(), kGuid.end(), entry.begin() + 32);
  for (std::size_t d = 0; d < writes.size(); ++d) {
    const std::size_t at = 64 + d * 32;
    std::copy_n(reinterpret_cast<const std::byte*>(writes[d].fill ? "desc" : "zero"), 4, entry.begin() + at);
    WriteLittleEndian<std::uint64_t>(entry, at + 16, writes[d].offset);
    WriteLittleEndian<std::uint64_t>(entry, at + 24, sequence);
    if (!writes[d].fill) {
      WriteLittleEndian<std::uint64_t>(entry, at + 8, kVhdxLogSector);
      continue;
    }
    std::fill_n(entry.begin() + at + 4, 12, *writes[d].fill);  // the trailing and leading bytes
    Bytes data(kVhdxLogSector, *writes[d].fill);
    std::copy_n(reinterpret_cast<const std::byte*>("data"), 4, data.begin());
    WriteLittleEndian<std::uint32_t>(data, 4, static_cast<std::uint32_t>(sequence >> 32));
    WriteLittleEndian<std::uint32_t>(data, kVhdxLogSector - 4, static_cast<std::uint32_t>(sequence));
    entry.insert(entry.end(), data.begin(), data.end());
  }
  WriteLittleEndian<std::uint32_t>(entry, 8, static_cast<std::uint32_t>(entry.size()));
  MakeChecksumHold(entry);
  return entry;
}

// A log of `sectors` sectors with the entries at the sectors given (an entry may run round the end).
Bytes Log(std::size_t sectors, const std::vector<std::pair<std::size_t, Bytes>>& entries) {
  Bytes log(sectors * kVhdxLogSector);
  for (const auto& [sector, entry] : entries)
    for (std::size_t i = 0; i < entry.size(); ++i) log[(sector * kVhdxLogSector + i) % log.size()] = entry[i];
  return log;
}

std::vector<std::uint64_t> Offsets(const std::optional<VhdxLogReplay>& replay) {
  std::vector<std::uint64_t> offsets;
  if (replay)
    for (const VhdxLogWrite& write : replay->writes) offsets.push_back(write.offset);
  return offsets;
}

TEST(VhdxLogSequence, TheNewestValidSequenceFromItsHeadsTailIsReplayedAndNoOther) {
  const Bytes old = LogEntry(5, 0, {{0x100000, std::nullopt}});
  const Bytes first = LogEntry(8, 4 * kVhdxLogSector, {{0x200000, std::byte{0xa5}}});
  const Bytes second = LogEntry(9, 4 * kVhdxLogSector, {{0x300000, std::nullopt}, {0x301000, std::byte{1}}});
  // Sequence 5 stands alone; 8 and 9 run on from 8, which 9 names as its tail.
  const auto replay = ActiveSequence(Log(16, {{0, old}, {4, first}, {6, second}}), kGuid);
  EXPECT_EQ(Offsets(replay), (std::vector<std::uint64_t>{0x200000, 0x300000, 0x301000}));
  ASSERT_TRUE(replay);
  EXPECT_EQ(replay->writes[0].data, Bytes(kVhdxLogSector, std::byte{0xa5}));  // leading and trailing bytes put back
  EXPECT_TRUE(replay->writes[1].data.empty());
  EXPECT_EQ(replay->writes[1].length, kVhdxLogSector);
  // Where the head names itself as tail, the entry before it was applied already.
  const Bytes alone = LogEntry(9, 6 * kVhdxLogSector, {{0x300000, std::nullopt}});
  EXPECT_EQ(Offsets(ActiveSequence(Log(16, {{4, first}, {6, alone}}), kGuid)), (std::vector<std::uint64_t>{0x300000}));
  // An entry that runs past the log's end goes on at its start.
  EXPECT_EQ(Offsets(ActiveSequence(Log(8, {{7, LogEntry(3, 7 * kVhdxLogSector, {{0x400000, std::byte{2}}})}}), kGuid)),
            (std::vector<std::uint64_t>{0x400000}));
}

TEST(VhdxLogSequence, DamagedOrForeignEntriesAreNotReplayed) {
  const Bytes first = LogEntry(8, 0, {{0x200000, std::byte{0xa5}}});
  Bytes second = LogEntry(9, 0, {{0x300000, std::byte{1}}});
  second[kVhdxLogSector + 100] = std::byte{0};  // a torn data sector: its checksum fails
  EXPECT_EQ(Offsets(ActiveSequence(Log(16, {{0, first}, {2, second}}), kGuid)), (std::vector<std::uint64_t>{0x200000}));
  Bytes wrongSequence = LogEntry(9, 0, {{0x300000, std::byte{1}}});
  WriteLittleEndian<std::uint32_t>(wrongSequence, kVhdxLogSector + 4, 1);  // the data sector's high half
  MakeChecksumHold(wrongSequence);
  EXPECT_EQ(Offsets(ActiveSequence(Log(16, {{0, first}, {2, wrongSequence}}), kGuid)),
            (std::vector<std::uint64_t>{0x200000}));
  std::array<std::byte, 16> otherGuid = kGuid;
  otherGuid[0] = std::byte{1};
  EXPECT_FALSE(ActiveSequence(Log(16, {{0, first}}), otherGuid));
  // A head whose tail lies outside its run: no valid sequence at all.
  EXPECT_FALSE(ActiveSequence(Log(16, {{0, LogEntry(8, 9 * kVhdxLogSector, {{0x200000, std::nullopt}})}}), kGuid));
  // An entry longer than the log is no entry.
  Bytes longer = LogEntry(8, 0, {{0x200000, std::nullopt}});
  WriteLittleEndian<std::uint32_t>(longer, 8, 32 * kVhdxLogSector);
  MakeChecksumHold(longer);
  EXPECT_FALSE(ActiveSequence(Log(16, {{0, longer}}), kGuid));
}

// A VHDX that qemu-img made, with `entry` in its log and the log's GUID in its current header.
class PendingVhdxLog : public ::testing::Test {
 protected:
  void SetUp() override {
    vhdx_ = folder_ / "crashed.vhdx";
    fs::copy_file(ContainerFixture("bare-36", "vhdx"), vhdx_);
    std::ifstream raw(FixtureImage("bare-36"), std::ios::binary);
    raw_.assign(std::istreambuf_iterator<char>(raw), {});
  }
  std::string FileBytes() const {
    std::ifstream file(vhdx_, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  void LeavePending(const Bytes& entry) {
    std::fstream file(vhdx_, std::ios::in | std::ios::out | std::ios::binary);
    const auto readAt = [&](std::uint64_t at) {
      Bytes bytes(kVhdxHeaderBytes);
      file.seekg(static_cast<std::streamoff>(at));
      file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      return bytes;
    };
    const auto writeAt = [&](std::uint64_t at, const Bytes& bytes) {
      file.seekp(static_cast<std::streamoff>(at));
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    Bytes first = readAt(kVhdxFirstHeader);
    Bytes second = readAt(kVhdxSecondHeader);
    const bool firstIsCurrent = ReadU64(first, 8) > ReadU64(second, 8);
    Bytes& header = firstIsCurrent ? first : second;
    std::copy(kGuid.begin(), kGuid.end(), header.begin() + 48);
    MakeChecksumHold(header);
    writeAt(firstIsCurrent ? kVhdxFirstHeader : kVhdxSecondHeader, header);
    writeAt(ReadU64(header, 72), entry);
  }
  std::string Read(DiskSource& disk, std::uint64_t offset) {
    std::string bytes(kVhdxLogSector, '?');
    EXPECT_EQ(disk.Read(offset, std::as_writable_bytes(std::span(bytes))), ReadOutcome::Ok);
    return bytes;
  }
  std::unique_ptr<DiskSource> Open() {
    std::string problem;
    auto disk = OpenDiskImage(vhdx_.string(), std::nullopt, &problem);
    EXPECT_TRUE(disk->Size()) << disk->OpenError();
    return disk;
  }
  static const std::vector<std::string>& Warnings(DiskSource& disk) {
    return dynamic_cast<ContainerSource&>(disk).Description().warnings;
  }

  TempDir folder_;
  fs::path vhdx_;
  std::string raw_;
};

TEST_F(PendingVhdxLog, TheLogIsReplayedInMemoryAndTheFileIsLeftAsItWas) {
  // Where the superblock lies in the file (its copy in the journal may be the one found: the
  // disk must then change there).
  const std::string before = FileBytes();
  const std::string superblock = raw_.substr(64 << 10, kVhdxLogSector);
  const std::string later = raw_.substr(68 << 10, kVhdxLogSector);
  const std::uint64_t superblockInFile = before.find(superblock);
  const std::uint64_t laterInFile = before.find(later);
  ASSERT_NE(superblockInFile, std::string::npos);
  ASSERT_NE(laterInFile, std::string::npos);
  LeavePending(LogEntry(1, 0, {{superblockInFile, std::byte{0xa5}}, {laterInFile, std::nullopt}}));
  const std::string pending = FileBytes();
  const auto disk = Open();
  std::string replayed(raw_.size(), '?');
  ASSERT_EQ(disk->Read(0, std::as_writable_bytes(std::span(replayed))), ReadOutcome::Ok);
  std::vector<std::string> changedFrom;
  for (std::size_t at = 0; at < raw_.size(); at += kVhdxLogSector)
    if (replayed.compare(at, kVhdxLogSector, raw_, at, kVhdxLogSector) != 0) {
      changedFrom.push_back(raw_.substr(at, kVhdxLogSector));
      const char now = replayed[at] == '\xa5' ? '\xa5' : '\0';
      EXPECT_EQ(replayed.substr(at, kVhdxLogSector), std::string(kVhdxLogSector, now)) << at;
    }
  EXPECT_EQ(changedFrom, (std::vector<std::string>{superblock, later}));
  // qemu-img replays the log of a copy it may write to; the disk it then gives is ours.
  const std::string copy = (folder_ / "copy.vhdx").string();
  const std::string converted = (folder_ / "replayed.raw").string();
  fs::copy_file(vhdx_, copy);
  ASSERT_EQ(std::system(  // NOLINT(concurrency-mt-unsafe): the test runs no other thread
                ("qemu-img check -q -r all '" + copy + "' && qemu-img convert -f vhdx -O raw '" + copy + "' '" +
                 converted + "'")
                    .c_str()),
            0);
  std::ifstream qemu(converted, std::ios::binary);
  EXPECT_TRUE(replayed == std::string(std::istreambuf_iterator<char>(qemu), {}));
  ASSERT_EQ(Warnings(*disk).size(), 1u);
  EXPECT_NE(Warnings(*disk)[0].find("2 write(s) never applied"), std::string::npos) << Warnings(*disk)[0];
  EXPECT_NE(Warnings(*disk)[0].find("replayed in memory"), std::string::npos) << Warnings(*disk)[0];
  EXPECT_NE(Warnings(*disk)[0].find(std::to_string(superblockInFile) + "+4096"), std::string::npos);
  EXPECT_TRUE(FileBytes() == pending);
}

TEST_F(PendingVhdxLog, ALogThatCannotBeReplayedSaysWhereItWouldWrite) {
  Bytes entry = LogEntry(1, 0, {{8 << 20, std::nullopt}});
  entry[100] = std::byte{1};  // the checksum fails
  LeavePending(entry);
  const auto disk = Open();
  ASSERT_EQ(Warnings(*disk).size(), 1u);
  EXPECT_NE(Warnings(*disk)[0].find("1 write(s) never applied"), std::string::npos) << Warnings(*disk)[0];
  EXPECT_NE(Warnings(*disk)[0].find("cannot be replayed"), std::string::npos) << Warnings(*disk)[0];
  EXPECT_NE(Warnings(*disk)[0].find("file bytes 8388608+4096"), std::string::npos) << Warnings(*disk)[0];
  EXPECT_EQ(Read(*disk, 64 << 10), raw_.substr(64 << 10, kVhdxLogSector));
  // A valid log whose replay spoils both region tables: the file as it lies, and the row says so.
  fs::remove(vhdx_);
  fs::copy_file(ContainerFixture("bare-36", "vhdx"), vhdx_);
  LeavePending(LogEntry(1, 0, {{192 << 10, std::byte{0xa5}}, {256 << 10, std::byte{0xa5}}}));
  const auto spoilt = Open();
  ASSERT_EQ(Warnings(*spoilt).size(), 1u);
  EXPECT_NE(Warnings(*spoilt)[0].find("cannot be replayed"), std::string::npos) << Warnings(*spoilt)[0];
  EXPECT_EQ(Read(*spoilt, 64 << 10), raw_.substr(64 << 10, kVhdxLogSector));
  // A clean one says nothing.
  std::string problem;
  const auto clean = OpenDiskImage(ContainerFixture("bare-36", "vhdx"), std::nullopt, &problem);
  EXPECT_TRUE(Warnings(*clean).empty());
}

}  // namespace
}  // namespace vantrel::test
