// libFuzzer target: any bytes as a disk image container of one kind (the build picks it:
// VANTREL_FUZZ_CONTAINER is 1 for Expert Witness, 2 qcow, 3 VMDK, 4 VHD/VHDX, 5 VDI), opened
// through its library (or our reader) as the program opens it, then read at the start, across the middle,
// at the end and past it. A container opened has a size; every read gives Ok, Failed, or
// (unopened) CannotOpen, and the bytes past the end read as zeros.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "disk/containers/EwfImageSource.h"
#include "disk/containers/QcowImageSource.h"
#include "disk/containers/VdiImageSource.h"
#include "disk/containers/VhdiImageSource.h"
#include "disk/containers/VmdkImageSource.h"

using namespace vantrel;

namespace {

// Reads stop here: a header may claim an exabyte disk, and reading it all is no finding.
constexpr std::uint64_t kReadBytes = std::uint64_t{1} << 20;
constexpr std::size_t kPieceBytes = 65536;

const char* FileName() {
  switch (VANTREL_FUZZ_CONTAINER) {
    case 1: return "disk.E01";
    case 2: return "disk.qcow2";
    case 3: return "disk.vmdk";
    case 5: return "disk.vdi";
    default: return "disk.vhdx";
  }
}

std::unique_ptr<ContainerSource> Open(const std::string& path) {
  switch (VANTREL_FUZZ_CONTAINER) {
    case 1: return std::make_unique<EwfImageSource>(path);
    case 2: return std::make_unique<QcowImageSource>(path);
    case 3: return std::make_unique<VmdkImageSource>(path);
    case 5: return std::make_unique<VdiImageSource>(path);
    default: return std::make_unique<VhdiImageSource>(path);
  }
}

// A private folder under /dev/shm for the one file a run writes.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path made = "/dev/shm/vantrel-container-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(made);
    return made;
  }();
  return folder;
}

void ReadAt(ContainerSource& disk, std::uint64_t size, std::uint64_t offset, std::vector<std::byte>& buffer) {
  const ReadOutcome outcome = disk.Read(offset, buffer);
  if (outcome == ReadOutcome::CannotOpen) std::abort();  // an opened container reads
  if (outcome != ReadOutcome::Ok) return;
  for (std::uint64_t at = std::max(offset, size); at < offset + buffer.size(); ++at)
    if (buffer[static_cast<std::size_t>(at - offset)] != std::byte{0}) std::abort();  // past the end: zeros
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = Folder() / FileName();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::unique_ptr<ContainerSource> disk = Open(file.string());
  const auto diskSize = disk->Size();
  std::vector<std::byte> buffer(kPieceBytes);
  if (!diskSize) {
    if (disk->OpenError().empty()) std::abort();  // a container not opened says why
    if (disk->Read(0, buffer) != ReadOutcome::CannotOpen) std::abort();
    return 0;
  }
  for (std::uint64_t offset = 0; offset < std::min(*diskSize, kReadBytes); offset += kPieceBytes)
    ReadAt(*disk, *diskSize, offset, buffer);
  if (*diskSize > kReadBytes) ReadAt(*disk, *diskSize, *diskSize / 2 + 511, buffer);
  ReadAt(*disk, *diskSize, *diskSize > 4096 ? *diskSize - 4096 : 0, buffer);
  return 0;
}
