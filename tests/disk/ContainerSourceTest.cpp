// Disk images in containers below the console: the pieces of a split image found by name,
// the kind of an image found by its signature, the parent of a differencing image found
// beside it, and reads across pieces, past the end and over a ddrescue map's bad areas.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

#include "disk/containers/ContainerSource.h"
#include "disk/containers/ImageKind.h"
#include "disk/containers/OpenDiskImage.h"
#include "disk/containers/ParentImage.h"
#include "disk/containers/SplitPieces.h"
#include "disk/containers/SplitRawSource.h"
#include "support/ContainerFixtures.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

TEST(SplitPieces, NextPieceNamesCountOnInTheirOwnDigitsOrLetters) {
  EXPECT_EQ(NextPieceName("/x/disk.001"), "/x/disk.002");
  EXPECT_EQ(NextPieceName("disk.009"), "disk.010");
  EXPECT_EQ(NextPieceName("disk.0999"), "disk.1000");
  EXPECT_EQ(NextPieceName("disk.aa"), "disk.ab");
  EXPECT_EQ(NextPieceName("disk.az"), "disk.ba");
  EXPECT_EQ(NextPieceName("disk.999"), "");
  EXPECT_EQ(NextPieceName("disk.zz"), "");
  EXPECT_EQ(NextPieceName("disk.img"), "");  // three letters: an extension
  EXPECT_EQ(NextPieceName("disk.E01"), "");
  EXPECT_EQ(NextPieceName("disk.01"), "");  // two digits are no piece number
  EXPECT_EQ(NextPieceName("a.001/disk"), "");
}

TEST(SplitPieces, ThePiecesAreThoseThatFollowTheFirstWithoutAGap) {
  const TempDir folder;
  for (const char* name : {"d.001", "d.002", "d.003", "d.005", "e.002", "e.003", "f.aa", "f.ab"})
    Write(folder / name, "x");
  const auto pieces = SplitPieces((folder / "d.001").string());
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[2], (folder / "d.003").string());
  EXPECT_EQ(SplitPieces((folder / "e.002").string()).size(), 1u);  // not a first piece
  EXPECT_EQ(SplitPieces((folder / "f.aa").string()).size(), 2u);
  EXPECT_EQ(DetectImageKind((folder / "d.001").string()), ImageKind::SplitRaw);
  EXPECT_EQ(DetectImageKind((folder / "d.005").string()), ImageKind::Raw);
}

TEST(ImageKinds, TheSignatureDecidesNotTheName) {
  const TempDir folder;
  Write(folder / "looks.E01", std::string(4096, '\0'));
  Write(folder / "is.img", std::string("QFI\xfb", 4) + std::string(4092, '\0'));
  std::string fixedVhd(8192, '\0');
  fixedVhd.replace(fixedVhd.size() - 512, 8, "conectix");
  Write(folder / "fixed.raw", fixedVhd);
  Write(folder / "tiny", "EVF");
  EXPECT_EQ(DetectImageKind((folder / "looks.E01").string()), ImageKind::Raw);
  EXPECT_EQ(DetectImageKind((folder / "is.img").string()), ImageKind::Qcow);
  EXPECT_EQ(DetectImageKind((folder / "fixed.raw").string()), ImageKind::Vhd);
  EXPECT_EQ(DetectImageKind((folder / "tiny").string()), ImageKind::Raw);
  EXPECT_EQ(DetectImageKind((folder / "missing").string()), ImageKind::Raw);
}

TEST(ImageKinds, ABrokenContainerIsListedWithItsReasonNotRead) {
  const TempDir folder;
  Write(folder / "broken.qcow2", std::string("QFI\xfb", 4) + std::string(60, '\xff'));
  std::string problem;
  const auto disk = OpenDiskImage((folder / "broken.qcow2").string(), std::nullopt, &problem);
  ASSERT_NE(disk, nullptr);
  EXPECT_FALSE(disk->Size());
  EXPECT_NE(disk->OpenError().find("broken.qcow2"), std::string::npos) << disk->OpenError();
  std::array<std::byte, 512> sector{};
  EXPECT_EQ(disk->Read(0, sector), ReadOutcome::CannotOpen);
}

std::string ReadAll(DiskSource& disk) {
  std::string bytes(static_cast<std::size_t>(disk.Size().value_or(0)), '\0');
  EXPECT_EQ(disk.Read(0, std::as_writable_bytes(std::span(bytes.data(), bytes.size()))), ReadOutcome::Ok);
  return bytes;
}

TEST(ContainersAsOthersWroteThem, ARenamedVmdkThatCarriesItsDescriptorIsItsOwnExtent) {
  const TempDir folder;
  fs::copy_file(ContainerFixture("bare-36", "vmdk-stream"), folder / "renamed.vmdk");
  std::string problem;
  const auto disk = OpenDiskImage((folder / "renamed.vmdk").string(), std::nullopt, &problem);
  ASSERT_TRUE(disk->Size()) << disk->OpenError();
  std::ifstream raw(FixtureImage("bare-36"), std::ios::binary);
  EXPECT_TRUE(ReadAll(*disk) == std::string(std::istreambuf_iterator<char>(raw), {}));
}

TEST(ContainersAsOthersWroteThem, VirtualBoxDisksFixedAndDynamicReadAsQemuImgConvertsThem) {
  for (const std::string kind : {"vdi", "vdi-fixed"}) {
    const TempDir folder;
    const std::string vdi = ContainerFixture("bare-36", kind);
    const std::string raw = (folder / "converted.raw").string();
    ASSERT_EQ(std::system(  // NOLINT(concurrency-mt-unsafe): the test runs no other thread
                  ("qemu-img convert -f vdi -O raw '" + vdi + "' '" + raw + "'").c_str()),
              0);
    std::string problem;
    const auto disk = OpenDiskImage(vdi, std::nullopt, &problem);
    ASSERT_TRUE(disk->Size()) << disk->OpenError();
    std::ifstream converted(raw, std::ios::binary);
    EXPECT_TRUE(ReadAll(*disk) == std::string(std::istreambuf_iterator<char>(converted), {})) << kind;
    EXPECT_EQ(dynamic_cast<ContainerSource&>(*disk).Description().detail, kind == "vdi" ? "dynamic" : "fixed");
  }
  // A block map that reaches past the file's end is refused, and says so.
  const TempDir folder;
  std::ifstream original(ContainerFixture("bare-36", "vdi"), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(original), {}};
  bytes[0x183] = '\x7f';  // blocks: about two thousand million
  Write(folder / "damaged.vdi", bytes);
  std::string problem;
  const auto damaged = OpenDiskImage((folder / "damaged.vdi").string(), std::nullopt, &problem);
  EXPECT_FALSE(damaged->Size());
  EXPECT_NE(damaged->OpenError().find("does not fit the file"), std::string::npos) << damaged->OpenError();
}

// A fixed VHD of 2 x 16 x 63 sectors by its geometry whose footer gives 1 MiB more, made by `creator`.
std::string FixedVhd(const char* creator) {
  constexpr std::uint64_t kGeometryBytes = std::uint64_t{2} * 16 * 63 * 512;
  constexpr std::uint64_t kCurrentBytes = kGeometryBytes + (1 << 20);
  std::string image(kCurrentBytes, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 / 512);
  std::string footer(512, '\0');
  const auto put = [&](std::size_t at, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) footer[at + i] = static_cast<char>(value >> (8 * (bytes - 1 - i)));
  };
  footer.replace(0, 8, "conectix");
  put(8, 2, 4);
  put(12, 0x10000, 4);
  put(16, ~std::uint64_t{0}, 8);
  footer.replace(28, 4, creator);
  put(40, kCurrentBytes, 8);
  put(48, kCurrentBytes, 8);
  put(56, 2, 2);
  put(58, 16, 1);
  put(59, 63, 1);
  put(60, 2, 4);  // fixed
  std::uint32_t sum = 0;
  for (const char c : footer) sum += static_cast<unsigned char>(c);
  put(64, ~sum, 4);
  return image + footer;
}

TEST(ContainersAsOthersWroteThem, AVirtualPcVhdEndsWhereItsGeometryEnds) {
  const TempDir folder;
  const std::string virtualPc = FixedVhd("vpc ");
  Write(folder / "vpc.vhd", virtualPc);
  Write(folder / "hyperv.vhd", FixedVhd("win "));
  std::string problem;
  const auto vpc = OpenDiskImage((folder / "vpc.vhd").string(), std::nullopt, &problem);
  EXPECT_EQ(vpc->Size(), 2u * 16 * 63 * 512) << vpc->OpenError();
  EXPECT_TRUE(ReadAll(*vpc) == virtualPc.substr(0, std::size_t{2} * 16 * 63 * 512));
  EXPECT_EQ(OpenDiskImage((folder / "hyperv.vhd").string(), std::nullopt, &problem)->Size(),
            2u * 16 * 63 * 512 + (1 << 20));
}

TEST(ParentImages, AParentNamedOnAnotherMachineIsFoundBesideTheChild) {
  const TempDir folder;
  Write(folder / "base.vhdx", "x");
  const std::string child = (folder / "child.vhdx").string();
  EXPECT_EQ(FindParentImage(child, "C:\\VMs\\old\\base.vhdx"), (folder / "base.vhdx").string());
  EXPECT_EQ(FindParentImage(child, "/srv/vm/base.vhdx"), (folder / "base.vhdx").string());
  EXPECT_EQ(FindParentImage(child, "base.vhdx"), (folder / "base.vhdx").string());
  EXPECT_EQ(FindParentImage(child, "C:\\VMs\\gone.vhdx"), "");
  EXPECT_EQ(FindParentImage(child, ""), "");
}

class SplitRawReads : public ::testing::Test {
 protected:
  void SetUp() override {
    whole_.resize(3000);
    std::iota(whole_.begin(), whole_.end(), '\0');
    // Pieces of 1000, 0 and 2000 bytes: an empty piece is passed over.
    Write(folder_ / "d.001", whole_.substr(0, 1000));
    Write(folder_ / "d.002", "");
    Write(folder_ / "d.003", whole_.substr(1000));
  }
  std::string Read(SplitRawSource& disk, std::uint64_t offset, std::size_t bytes, ReadOutcome expected) {
    std::string buffer(bytes, '?');
    EXPECT_EQ(disk.Read(offset, std::as_writable_bytes(std::span(buffer))), expected) << offset;
    return buffer;
  }
  TempDir folder_;
  std::string whole_;
};

TEST_F(SplitRawReads, ReadsCrossPiecesAndPastTheEndReadZeros) {
  SplitRawSource disk(SplitPieces((folder_ / "d.001").string()), std::nullopt);
  ASSERT_EQ(disk.Size(), 3000u);
  EXPECT_EQ(Read(disk, 900, 300, ReadOutcome::Ok), whole_.substr(900, 300));
  EXPECT_EQ(Read(disk, 2900, 200, ReadOutcome::Ok), whole_.substr(2900) + std::string(100, '\0'));
  EXPECT_EQ(Read(disk, 5000, 10, ReadOutcome::Ok), std::string(10, '\0'));
  EXPECT_EQ(disk.Description().files.size(), 3u);
}

TEST_F(SplitRawReads, AMapsBadAreaFailsTheReadsThatTouchIt) {
  Write(folder_ / "d.map", "# Mapfile\n0x0  +  1\n0x0  0x400  +\n0x400  0x200  -\n0x600  0x600  +\n");
  std::string problem;
  auto map = BadSectorMap::Load((folder_ / "d.map").string(), &problem);
  ASSERT_TRUE(map) << problem;
  SplitRawSource disk(SplitPieces((folder_ / "d.001").string()), std::move(map));
  Read(disk, 0x400, 512, ReadOutcome::Failed);
  EXPECT_EQ(Read(disk, 0x600, 512, ReadOutcome::Ok), whole_.substr(0x600, 512));
}

TEST(SplitRawMissingPiece, APieceThatCannotBeOpenedMakesTheDiskUnreadable) {
  const TempDir folder;
  Write(folder / "d.001", "x");
  Write(folder / "d.002", "y");
  SplitRawSource disk({(folder / "d.001").string(), (folder / "d.002").string(), (folder / "gone.003").string()},
                      std::nullopt);
  EXPECT_FALSE(disk.Size());
  EXPECT_FALSE(disk.OpenError().empty());
}

}  // namespace
}  // namespace vantrel::test
