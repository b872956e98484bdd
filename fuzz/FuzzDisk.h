#pragma once
// What the fuzz targets share: a disk held in memory that one input patches and that is
// given back unchanged after the run, the fixture images the deep targets start from, and
// a private folder for the files a run writes, with the check that nothing left it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/LittleEndian.h"
#include "disk/DiskNameTable.h"
#include "disk/DiskReader.h"
#include "disk/DiskSource.h"
#include "disk/SectorReader.h"

namespace vantrel::fuzz {

class PatchedDiskSource : public DiskSource {
 public:
  explicit PatchedDiskSource(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override { return bytes_.size(); }
  std::string OpenError() override { return {}; }

  // Overwrites bytes at offset (clipped to the disk), keeping what was there for Restore.
  void Patch(std::uint64_t offset, ByteSpan bytes);
  // Undoes every patch since the last Restore, newest first.
  void Restore();
  ByteSpan Bytes() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
  std::vector<std::pair<std::uint64_t, std::vector<std::byte>>> undo_;
};

// A large disk of zeros but for the sectors given: for inputs that place a few sectors
// anywhere on it.
class SparseDiskSource : public DiskSource {
 public:
  explicit SparseDiskSource(std::uint64_t sectors) : sectors_(sectors) {}

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override { return sectors_ * kSectorSize; }
  std::string OpenError() override { return {}; }

  // Sector n holds bytes (and zeros after them); a sector beyond the disk is ignored.
  void Put(std::uint64_t n, ByteSpan bytes);

 private:
  std::uint64_t sectors_;
  std::map<std::uint64_t, std::array<std::byte, kSectorSize>> held_;
};

// One disk in a table of its own, read through the sector reader with no prompt (every
// failed read is skipped).
class FuzzDisk {
 public:
  explicit FuzzDisk(std::vector<std::byte> bytes);
  explicit FuzzDisk(std::unique_ptr<DiskSource> source);
  FuzzDisk(const FuzzDisk&) = delete;
  FuzzDisk& operator=(const FuzzDisk&) = delete;

  DiskReader Reader() { return {reader_, 0}; }
  // The disk made from bytes.
  PatchedDiskSource& Source() { return *patched_; }

 private:
  DiskNameTable table_;
  SectorReader reader_{table_};
  PatchedDiskSource* patched_ = nullptr;
};

// The unpacked fixture image NAME.img from the folder in VANTREL_FUZZ_IMAGES (fuzz.sh sets
// it); aborts when it cannot be read, since a target without its image tests nothing.
std::vector<std::byte> LoadFixtureImage(const std::string& name);

// Reads input records one after the other; a field beyond the input reads as zero.
class InputCursor {
 public:
  explicit InputCursor(ByteSpan input) : input_(input) {}
  bool AtEnd() const { return at_ >= input_.size(); }
  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  // Up to n bytes, fewer at the end of the input.
  ByteSpan Take(std::size_t n);

 private:
  ByteSpan input_;
  std::size_t at_ = 0;
};

// A private folder under /dev/shm (a memory file system; the system's temporary folder
// when there is none) with the destination a few levels below it: a name that climbs out
// of the destination lands inside the private folder, where EscapedFiles finds it.
class OutputFolder {
 public:
  OutputFolder();
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  const std::filesystem::path& Destination() const { return destination_; }
  // Anything inside the private folder but outside the destination, and any link inside
  // the destination (a run writes only folders and regular files).
  std::vector<std::filesystem::path> EscapedFiles() const;
  // Aborts, naming them, when EscapedFiles finds any; then empties the destination.
  void CheckAndClear() const;

 private:
  std::filesystem::path root_;
  std::filesystem::path destination_;
};

}  // namespace vantrel::fuzz
