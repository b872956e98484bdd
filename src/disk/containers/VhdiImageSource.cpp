#include "disk/containers/VhdiImageSource.h"

#include <libbfio.h>
// libvhdi reads through libbfio handles (its file_io_handle calls), though its header offers
// them only where it was built against a separate libbfio.
#define HAVE_LIBBFIO 1
#include <libvhdi.h>

#include <array>
#include <fstream>

#include "disk/containers/LibraryError.h"
#include "disk/containers/ParentImage.h"
#include "disk/containers/VhdGeometrySize.h"
#include "disk/containers/VhdxPendingLog.h"
#include "disk/containers/VhdxReplayedFile.h"

namespace vantrel {

namespace {

std::string Why(libvhdi_error_t*& error) { return TakeLibraryError(error, libvhdi_error_sprint, libvhdi_error_free); }

std::string DiskTypeText(std::uint32_t type) {
  switch (type) {
    case LIBVHDI_DISK_TYPE_FIXED: return "fixed";
    case LIBVHDI_DISK_TYPE_DYNAMIC: return "dynamic";
    case LIBVHDI_DISK_TYPE_DIFFERENTIAL: return "differencing";
    default: return "other";
  }
}

std::string ParentName(libvhdi_file_t* file) {
  std::array<std::uint8_t, 4096> name{};
  if (libvhdi_file_get_utf8_parent_filename(file, name.data(), name.size(), nullptr) != 1) return {};
  name.back() = 0;
  return reinterpret_cast<const char*>(name.data());
}

// The size by the footer's geometry where the VHD's creator sized it that way (the footer
// closes the file; a dynamic disk keeps a copy of it at the start too).
std::optional<std::uint64_t> SizeByGeometry(const std::string& path) {
  std::array<std::byte, kVhdFooterBytes> footer{};
  std::ifstream file(path, std::ios::binary);
  const auto readAt = [&](std::streamoff offset, std::ios::seekdir from) {
    file.clear();
    file.seekg(offset, from);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(footer.data()), footer.size()));
  };
  if (readAt(-static_cast<std::streamoff>(footer.size()), std::ios::end))
    if (const auto size = VhdGeometrySize(footer)) return size;
  if (readAt(0, std::ios::beg)) return VhdGeometrySize(footer);
  return std::nullopt;
}

}  // namespace

VhdiImageSource::VhdiImageSource(const std::string& path, std::size_t depth) {
  libvhdi_error_t* error = nullptr;
  // A VHDX whose log holds writes never applied is read as their replay would leave it; where
  // libvhdi cannot read what the replay leaves, the file is read as it lies.
  const VhdxPendingLog pending = ReadPendingLog(path);
  if (pending.replay) replayed_ = OpenReplayedVhdx(path, *pending.replay);
  if (replayed_ != nullptr && (libvhdi_file_initialize(&file_, &error) != 1 ||
                               libvhdi_file_open_file_io_handle(file_, reinterpret_cast<libbfio_handle_t*>(replayed_),
                                                                LIBVHDI_OPEN_READ, &error) != 1)) {
    if (error != nullptr) libvhdi_error_free(&error);
    if (file_ != nullptr) libvhdi_file_free(&file_, nullptr);
    libbfio_handle_free(reinterpret_cast<libbfio_handle_t**>(&replayed_), nullptr);
  }
  if (file_ == nullptr && (libvhdi_file_initialize(&file_, &error) != 1 ||
                           libvhdi_file_open(file_, path.c_str(), LIBVHDI_OPEN_READ, &error) != 1)) {
    Failed("cannot open the VHD image " + path + ": " + Why(error));
    return;
  }
  int fileType = LIBVHDI_FILE_TYPE_UNKNOWN;
  std::uint32_t diskType = 0;
  size64_t size = 0;
  if (libvhdi_file_get_file_type(file_, &fileType, &error) != 1 ||
      libvhdi_file_get_disk_type(file_, &diskType, &error) != 1 ||
      libvhdi_file_get_media_size(file_, &size, &error) != 1) {
    Failed("cannot read the header of the VHD image " + path + ": " + Why(error));
    return;
  }
  ContainerDescription description;
  description.kind = fileType == LIBVHDI_FILE_TYPE_VHDX ? ImageKind::Vhdx : ImageKind::Vhd;
  description.detail = DiskTypeText(diskType);
  description.files = {path};
  if (description.kind == ImageKind::Vhdx && !pending.writes.empty())
    description.warnings.push_back(PendingLogWarning(pending.writes, replayed_ != nullptr));
  // Virtual PC's disks end where their geometry ends, before the current size the footer gives.
  if (description.kind == ImageKind::Vhd)
    if (const auto bytes = SizeByGeometry(path); bytes && *bytes < size) {
      size = *bytes;
      description.detail += ", sized by its CHS geometry";
    }
  if (diskType == LIBVHDI_DISK_TYPE_DIFFERENTIAL) {
    const std::string parentName = ParentName(file_);
    const std::string parentPath = FindParentImage(path, parentName);
    if (parentPath.empty() || depth >= kMaxParentDepth) {
      Failed("the parent image " + (parentName.empty() ? std::string("(unnamed)") : parentName) + " of " + path +
             " is not there");
      return;
    }
    parent_ = std::make_unique<VhdiImageSource>(parentPath, depth + 1);
    if (!parent_->Size() || libvhdi_file_set_parent_file(file_, parent_->file_, &error) != 1) {
      Failed("cannot read the parent image " + parentPath + " of " + path + ": " +
             (parent_->Size() ? Why(error) : parent_->OpenError()));
      return;
    }
    for (const std::string& file : parent_->Description().files) description.files.push_back(file);
  }
  Opened(size, std::move(description));
}

VhdiImageSource::~VhdiImageSource() {
  if (file_ != nullptr) {
    libvhdi_file_close(file_, nullptr);
    libvhdi_file_free(&file_, nullptr);
  }
  if (replayed_ != nullptr) libbfio_handle_free(reinterpret_cast<libbfio_handle_t**>(&replayed_), nullptr);
}

bool VhdiImageSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  libvhdi_error_t* error = nullptr;
  const ssize_t got = libvhdi_file_read_buffer_at_offset(file_, buffer.data(), buffer.size(),
                                                         static_cast<off64_t>(offset), &error);
  if (error != nullptr) libvhdi_error_free(&error);
  return got == static_cast<ssize_t>(buffer.size());
}

}  // namespace vantrel
