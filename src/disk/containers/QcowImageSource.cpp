#include "disk/containers/QcowImageSource.h"

#include <fcntl.h>
#include <libqcow.h>
#include <unistd.h>

#include <array>

#include "disk/containers/LibraryError.h"
#include "disk/containers/ParentImage.h"

namespace vantrel {

namespace {

std::string Why(libqcow_error_t*& error) { return TakeLibraryError(error, libqcow_error_sprint, libqcow_error_free); }

// The backing file's name as the header stores it (big-endian offset at byte 8, length at
// byte 16, in every qcow version); empty when there is none.
std::string BackingFileName(const std::string& path) {
  constexpr std::uint32_t kMaxNameBytes = 1023;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::array<unsigned char, 12> field{};
  std::string name;
  if (::pread(fd, field.data(), field.size(), 8) == static_cast<ssize_t>(field.size())) {
    std::uint64_t offset = 0;
    for (int i = 0; i < 8; ++i) offset = offset << 8 | field[static_cast<std::size_t>(i)];
    const std::uint32_t length = std::uint32_t{field[8]} << 24 | std::uint32_t{field[9]} << 16 |
                                 std::uint32_t{field[10]} << 8 | field[11];
    if (offset != 0 && length > 0 && length <= kMaxNameBytes && offset < (std::uint64_t{1} << 62)) {
      name.resize(length);
      if (::pread(fd, name.data(), length, static_cast<off_t>(offset)) != static_cast<ssize_t>(length)) name.clear();
    }
  }
  ::close(fd);
  return name;
}

}  // namespace

QcowImageSource::QcowImageSource(const std::string& path, std::size_t depth) {
  libqcow_error_t* error = nullptr;
  if (libqcow_file_initialize(&file_, &error) != 1 ||
      libqcow_file_open(file_, path.c_str(), LIBQCOW_OPEN_READ, &error) != 1) {
    Failed("cannot open the qcow image " + path + ": " + Why(error));
    return;
  }
  std::uint32_t version = 0;
  std::uint32_t encryption = LIBQCOW_ENCRYPTION_METHOD_NONE;
  size64_t size = 0;
  if (libqcow_file_get_format_version(file_, &version, &error) != 1 ||
      libqcow_file_get_encryption_method(file_, &encryption, &error) != 1 ||
      libqcow_file_get_media_size(file_, &size, &error) != 1) {
    Failed("cannot read the header of the qcow image " + path + ": " + Why(error));
    return;
  }
  if (encryption != LIBQCOW_ENCRYPTION_METHOD_NONE) {
    Failed(path + " is an encrypted qcow image, which is not read");
    return;
  }
  ContainerDescription description;
  description.kind = ImageKind::Qcow;
  description.detail = "version " + std::to_string(version);
  description.files = {path};
  if (const std::string backingName = BackingFileName(path); !backingName.empty()) {
    const std::string backingPath = FindParentImage(path, backingName);
    if (backingPath.empty() || depth >= kMaxParentDepth) {
      Failed("the backing image " + backingName + " of " + path + " is not there");
      return;
    }
    backing_ = std::make_unique<QcowImageSource>(backingPath, depth + 1);
    if (!backing_->Size() || libqcow_file_set_parent_file(file_, backing_->file_, &error) != 1) {
      Failed("cannot read the backing image " + backingPath + " of " + path + ": " +
             (backing_->Size() ? Why(error) : backing_->OpenError()));
      return;
    }
    description.detail += ", over a backing image";
    for (const std::string& file : backing_->Description().files) description.files.push_back(file);
  }
  cutOff_ = FindCutOffQcowClusters(path);
  Opened(size, std::move(description));
}

QcowImageSource::~QcowImageSource() {
  if (file_ == nullptr) return;
  libqcow_file_close(file_, nullptr);
  libqcow_file_free(&file_, nullptr);
}

bool QcowImageSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  if (TouchesAny(cutOff_, offset, buffer.size())) return false;
  libqcow_error_t* error = nullptr;
  const ssize_t got = libqcow_file_read_buffer_at_offset(file_, buffer.data(), buffer.size(),
                                                         static_cast<off64_t>(offset), &error);
  if (error != nullptr) libqcow_error_free(&error);
  return got == static_cast<ssize_t>(buffer.size());
}

}  // namespace vantrel
