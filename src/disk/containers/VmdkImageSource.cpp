#include "disk/containers/VmdkImageSource.h"

#include <libbfio.h>
#include <libvmdk.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "disk/containers/LibraryError.h"

namespace vantrel {

namespace {

std::string Why(libvmdk_error_t*& error) { return TakeLibraryError(error, libvmdk_error_sprint, libvmdk_error_free); }

std::string DiskTypeText(int type) {
  switch (type) {
    case LIBVMDK_DISK_TYPE_MONOLITHIC_FLAT: return "monolithic flat";
    case LIBVMDK_DISK_TYPE_MONOLITHIC_SPARSE: return "monolithic sparse";
    case LIBVMDK_DISK_TYPE_2GB_EXTENT_FLAT: return "split flat";
    case LIBVMDK_DISK_TYPE_2GB_EXTENT_SPARSE: return "split sparse";
    case LIBVMDK_DISK_TYPE_STREAM_OPTIMIZED: return "stream-optimised";
    case LIBVMDK_DISK_TYPE_VMFS_FLAT:
    case LIBVMDK_DISK_TYPE_VMFS_FLAT_PRE_ALLOCATED:
    case LIBVMDK_DISK_TYPE_VMFS_FLAT_ZEROED: return "VMFS flat";
    case LIBVMDK_DISK_TYPE_VMFS_SPARSE:
    case LIBVMDK_DISK_TYPE_VMFS_SPARSE_THIN: return "VMFS sparse";
    default: return "other";
  }
}

// The extent files the descriptor names, as it names them.
std::vector<std::string> ExtentFiles(libvmdk_handle_t* handle) {
  std::vector<std::string> files;
  int count = 0;
  if (libvmdk_handle_get_number_of_extents(handle, &count, nullptr) != 1) return files;
  for (int i = 0; i < count; ++i) {
    libvmdk_extent_descriptor_t* extent = nullptr;
    if (libvmdk_handle_get_extent_descriptor(handle, i, &extent, nullptr) != 1) continue;
    std::array<std::uint8_t, 1024> name{};
    if (libvmdk_extent_descriptor_get_utf8_filename(extent, name.data(), name.size(), nullptr) == 1) {
      name.back() = 0;
      files.emplace_back(reinterpret_cast<const char*>(name.data()));
    }
    libvmdk_extent_descriptor_free(&extent, nullptr);
  }
  return files;
}

// True when the file is a sparse extent that carries its descriptor ("KDMV" first): its one
// extent is the file itself, whatever name the descriptor gives it (a renamed disk).
bool CarriesItsDescriptor(const std::string& path) {
  std::array<char, 4> magic{};
  std::ifstream(path, std::ios::binary).read(magic.data(), magic.size());
  return std::string(magic.data(), magic.size()) == "KDMV";
}

}  // namespace

VmdkImageSource::VmdkImageSource(const std::string& path) {
  libvmdk_error_t* error = nullptr;
  // The extents lie beside the descriptor, whatever folder the program runs in.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (libvmdk_handle_initialize(&handle_, &error) != 1 ||
      libvmdk_handle_open(handle_, path.c_str(), LIBVMDK_OPEN_READ, &error) != 1) {
    Failed("cannot open the VMDK image " + path + ": " + Why(error));
    return;
  }
  const std::vector<std::string> extents = ExtentFiles(handle_);
  const bool itself = extents.size() == 1 && CarriesItsDescriptor(path);
  if (itself ? !OpenItselfAsExtent(path, error)
             : ((!folder.empty() &&
                 libvmdk_handle_set_extent_data_files_path(handle_, folder.c_str(), folder.size(), &error) != 1) ||
                libvmdk_handle_open_extent_data_files(handle_, &error) != 1)) {
    Failed("cannot open the VMDK image " + path + ": " + Why(error));
    return;
  }
  size64_t size = 0;
  int type = LIBVMDK_DISK_TYPE_UNDEFINED;
  if (libvmdk_handle_get_media_size(handle_, &size, &error) != 1 ||
      libvmdk_handle_get_disk_type(handle_, &type, &error) != 1) {
    Failed("cannot read the size of the VMDK image " + path + ": " + Why(error));
    return;
  }
  ContainerDescription description;
  description.kind = ImageKind::Vmdk;
  description.detail = DiskTypeText(type);
  description.files = {path};
  if (!itself)
    for (const std::string& extent : extents)
      if (std::filesystem::path(extent).filename() != std::filesystem::path(path).filename())
        description.files.push_back(extent);
  Opened(size, std::move(description));
}

bool VmdkImageSource::OpenItselfAsExtent(const std::string& path, libvmdk_error_t*& error) {
  libbfio_handle_t* file = nullptr;
  auto** pool = reinterpret_cast<libbfio_pool_t**>(&pool_);
  int entry = 0;
  if (libbfio_file_initialize(&file, nullptr) != 1 ||
      libbfio_file_set_name(file, path.c_str(), path.size(), nullptr) != 1 ||
      libbfio_pool_initialize(pool, 0, 1, nullptr) != 1 ||
      libbfio_pool_append_handle(*pool, &entry, file, LIBBFIO_OPEN_READ, nullptr) != 1) {
    if (file != nullptr) libbfio_handle_free(&file, nullptr);
    return false;
  }
  // The pool owns the file from here on.
  return libvmdk_handle_open_extent_data_files_file_io_pool(handle_, *pool, &error) == 1;
}

VmdkImageSource::~VmdkImageSource() {
  if (handle_ != nullptr) {
    libvmdk_handle_close(handle_, nullptr);
    libvmdk_handle_free(&handle_, nullptr);
  }
  if (pool_ != nullptr) libbfio_pool_free(reinterpret_cast<libbfio_pool_t**>(&pool_), nullptr);
}

bool VmdkImageSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  libvmdk_error_t* error = nullptr;
  const ssize_t got = libvmdk_handle_read_buffer_at_offset(handle_, buffer.data(), buffer.size(),
                                                           static_cast<off64_t>(offset), &error);
  if (error != nullptr) libvmdk_error_free(&error);
  return got == static_cast<ssize_t>(buffer.size());
}

}  // namespace vantrel
