#include "support/WipedMembers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "disk/DiskEnumeration.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "stacks/MdSuperblock.h"
#include "stacks/PartitionSlices.h"
#include "stacks/SourceSlice.h"
#include "support/Fixtures.h"

namespace vantrel::test {

namespace {

// Where the md superblock of the disk or one of its partitions lies, in bytes from the disk's start.
std::vector<std::uint64_t> SuperblockPlaces(const std::string& image) {
  DiskNameTable names;
  DiskInfoStore info;
  OpenDisks(names, info, {{image, {}}});
  DiskSource& disk = *names.Source(0);
  std::vector<std::uint64_t> places;
  for (const PartitionSpan& span : ListPartitionSpans(disk)) {
    SourceSlice partition(disk, span.startSector * 512, span.sectors * 512);
    if (const auto found = FindMdSuperblock(partition)) places.push_back((span.startSector + found->superOffset) * 512);
  }
  if (const auto found = FindMdSuperblock(disk)) places.push_back(found->superOffset * 512);
  return places;
}

}  // namespace

std::vector<std::string> WipedMembers(const TempDir& dir, const std::string& name) {
  std::vector<std::string> copies;
  for (const std::string& image : FixtureMemberImages(name)) {
    const std::string copy = (dir / ("wiped-" + std::filesystem::path(image).filename().string())).string();
    std::filesystem::copy_file(image, copy, std::filesystem::copy_options::overwrite_existing);
    const std::vector<std::uint64_t> places = SuperblockPlaces(copy);
    EXPECT_FALSE(places.empty()) << image << " holds no md superblock";
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    const std::string zeros(4096, '\0');
    for (const std::uint64_t at : places) {
      file.seekp(static_cast<std::streamoff>(at));
      file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    file.close();
    EXPECT_TRUE(SuperblockPlaces(copy).empty()) << copy;
    copies.push_back(copy);
  }
  return copies;
}

}  // namespace vantrel::test
