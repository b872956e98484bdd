#include "FuzzDisk.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace vantrel::fuzz {

namespace fs = std::filesystem;

ReadOutcome PatchedDiskSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  std::fill(buffer.begin(), buffer.end(), std::byte{0});
  if (offset < bytes_.size()) {
    const std::size_t n = std::min<std::uint64_t>(buffer.size(), bytes_.size() - offset);
    std::memcpy(buffer.data(), bytes_.data() + offset, n);
  }
  return ReadOutcome::Ok;
}

void PatchedDiskSource::Patch(std::uint64_t offset, ByteSpan bytes) {
  if (offset >= bytes_.size()) return;
  const std::size_t n = std::min<std::uint64_t>(bytes.size(), bytes_.size() - offset);
  const auto at = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
  undo_.emplace_back(offset, std::vector<std::byte>(at, at + static_cast<std::ptrdiff_t>(n)));
  std::copy_n(bytes.begin(), n, at);
}

void PatchedDiskSource::Restore() {
  for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
    std::copy(it->second.begin(), it->second.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(it->first));
  undo_.clear();
}

ReadOutcome SparseDiskSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  std::fill(buffer.begin(), buffer.end(), std::byte{0});
  const std::uint64_t end = offset + buffer.size();
  for (auto it = held_.lower_bound(offset / kSectorSize); it != held_.end() && it->first * kSectorSize < end; ++it) {
    const std::uint64_t at = it->first * kSectorSize;
    const std::uint64_t from = std::max(at, offset);
    const std::uint64_t to = std::min(at + kSectorSize, end);
    std::memcpy(buffer.data() + (from - offset), it->second.data() + (from - at), to - from);
  }
  return ReadOutcome::Ok;
}

void SparseDiskSource::Put(std::uint64_t n, ByteSpan bytes) {
  if (n >= sectors_) return;
  auto& sector = held_[n];
  sector.fill(std::byte{0});
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), kSectorSize), sector.begin());
}

FuzzDisk::FuzzDisk(std::vector<std::byte> bytes) {
  auto source = std::make_unique<PatchedDiskSource>(std::move(bytes));
  patched_ = source.get();
  table_.Add({"fuzz.img", "", std::move(source)});
}

FuzzDisk::FuzzDisk(std::unique_ptr<DiskSource> source) { table_.Add({"fuzz.img", "", std::move(source)}); }

std::vector<std::byte> LoadFixtureImage(const std::string& name) {
  const char* folder = std::getenv("VANTREL_FUZZ_IMAGES");
  const fs::path path = fs::path(folder ? folder : "fuzz-images") / (name + ".img");
  std::error_code error;
  const auto size = fs::file_size(path, error);
  std::vector<std::byte> bytes(error ? 0 : size);
  std::ifstream in(path, std::ios::binary);
  if (bytes.empty() || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    std::fprintf(stderr, "fuzz: cannot read %s (set VANTREL_FUZZ_IMAGES; scripts/fuzz.sh does)\n", path.c_str());
    std::abort();
  }
  return bytes;
}

std::uint8_t InputCursor::U8() {
  const auto b = Take(1);
  return b.empty() ? 0 : std::to_integer<std::uint8_t>(b[0]);
}

std::uint16_t InputCursor::U16() { return ReadU16(Take(2), 0); }

std::uint32_t InputCursor::U32() { return ReadU32(Take(4), 0); }

ByteSpan InputCursor::Take(std::size_t n) {
  const std::size_t from = std::min(at_, input_.size());
  const std::size_t count = std::min(n, input_.size() - from);
  at_ = from + count;
  return input_.subspan(from, count);
}

OutputFolder::OutputFolder() {
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "vantrel-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  root_ = pattern;
  destination_ = root_ / "a" / "b" / "c" / "destination";
  fs::create_directories(destination_);
}

OutputFolder::~OutputFolder() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::vector<fs::path> OutputFolder::EscapedFiles() const {
  std::vector<fs::path> escaped;
  for (auto it = fs::recursive_directory_iterator(root_); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path& path = it->path();
    const auto [end, ignored] = std::mismatch(destination_.begin(), destination_.end(), path.begin(), path.end());
    const bool inside = end == destination_.end();
    const bool onTheWay = !inside && path.string().size() < destination_.string().size() &&
                          destination_.string().starts_with(path.string() + "/");
    if (it->is_symlink() || (!inside && !onTheWay)) escaped.push_back(path);
    if (it->is_symlink()) it.disable_recursion_pending();
  }
  return escaped;
}

void OutputFolder::CheckAndClear() const {
  const auto escaped = EscapedFiles();
  for (const auto& path : escaped) std::fprintf(stderr, "fuzz: written outside the destination: %s\n", path.c_str());
  if (!escaped.empty()) std::abort();
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(destination_)) fs::remove_all(entry.path(), ignored);
}

}  // namespace vantrel::fuzz
