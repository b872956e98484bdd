// "image": the bytes of any listed disk, array, volume or partition, into a file or onto
// standard output, with a ddrescue mapfile of what could not be read.

#include <gtest/gtest.h>

#include <fstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

std::string FileBytes(const std::string& path, std::uint64_t offset, std::uint64_t length) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes(length, '\0');
  file.seekg(static_cast<std::streamoff>(offset));
  file.read(bytes.data(), static_cast<std::streamsize>(length));
  return bytes;
}

TEST(CliImage, EveryArrayAndVolumeComesOutAsTheMachineReadIt) {
  for (const std::string fixture : {"nas", "stripe", "mdmix"}) {
    const std::vector<std::string> images = FixtureMemberImages(fixture);
    std::vector<std::unique_ptr<UnchangedImage>> unchanged;
    for (const std::string& image : images) unchanged.push_back(std::make_unique<UnchangedImage>(image));
    const nlohmann::json listed = nlohmann::json::parse(RunCli(DiskOptions(images) + "disks --json").out);
    const nlohmann::json manifest = FixtureManifest(fixture);
    for (const auto& array : manifest["stack"]["md_arrays"]) {
      int disk = -1;
      for (const auto& row : listed["disks"])
        if (row.contains("uuid") && row["uuid"] == array["uuid"]) disk = row["index"];
      ASSERT_GE(disk, 0) << fixture << " " << array["uuid"];
      const TempDir dir;
      const std::string out = (dir / "array.img").string();
      const CliRun run = RunCli(DiskOptions(images) + "image --disk-index " + std::to_string(disk) + " --out " +
                                Quoted(out));
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(Sha256OfFile(out), array["sha256"]) << fixture << " " << array["uuid"];
      EXPECT_NE(run.err.find("Done: "), std::string::npos) << run.err;
    }
  }
}

TEST(CliImage, APartitionOrARangeGoesToStandardOutputAndNothingElseDoes) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const std::string image = FixtureImage("mbr-mixed");
  const CliRun partition = RunCli("--disk " + Quoted(image) + " image --partition 5 --out -");
  ASSERT_EQ(partition.exitCode, 0) << partition.err;
  EXPECT_EQ(partition.out, FileBytes(image, 94208ull * 512, 24576ull * 512));
  const CliRun range = RunCli("--disk " + Quoted(image) + " image --start 2048 --end 2050 --out -");
  EXPECT_EQ(range.out, FileBytes(image, 2048ull * 512, 1024));

  EXPECT_EQ(RunCli("--disk " + Quoted(image) + " image --partition 7 --out -").exitCode, 3);
  EXPECT_EQ(RunCli("--disk " + Quoted(image) + " image --start 10 --end 10 --out -").exitCode, 1);
  const CliRun onItself = RunCli("--disk " + Quoted(image) + " image --out " + Quoted(image));
  EXPECT_EQ(onItself.exitCode, 1);
  EXPECT_NE(onItself.err.find("on the disk being read"), std::string::npos) << onItself.err;
}

TEST(CliImage, BadSectorsOfAMappedDiskComeOutInTheImagesMapfile) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const TempDir dir;
  // Sectors 2179 and 4000-4001 of the disk are bad; the image is of 2048 to 6144.
  std::ofstream(dir / "disk.map") << "0x0 +\n0x0 0x110600 +\n0x110600 0x200 -\n0x110800 0xE3800 +\n"
                                     "0x1F4000 0x400 -\n0x1F4400 0x3E0BC00 +\n";
  const std::string disk = "--disk " + Quoted(FixtureImage("mbr-mixed")) + " --mapfile " +
                           Quoted((dir / "disk.map").string());
  const std::string out = (dir / "part.img").string();
  const std::string map = (dir / "part.map").string();
  const CliRun run = RunCli(disk + " --bad-sectors retry-all image --start 2048 --end 6144 --out " + Quoted(out) +
                            " --mapfile " + Quoted(map));
  EXPECT_EQ(run.exitCode, 4) << run.err;
  EXPECT_NE(run.err.find("3 sector(s) could not be read"), std::string::npos) << run.err;
  std::ifstream file(map);
  const std::string text{std::istreambuf_iterator<char>(file), {}};
  EXPECT_NE(text.find("0x00000000  0x00010600  +\n0x00010600  0x00000200  -\n"), std::string::npos) << text;
  EXPECT_NE(text.find("0x00010800  0x000E3800  +\n0x000F4000  0x00000400  -\n0x000F4400  0x0010BC00  +\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(FileBytes(out, 0x10600, 512), std::string(512, '\0'));
}

}  // namespace
}  // namespace vantrel::test
