#include "disk/containers/EwfImageSource.h"

#include <libewf.h>

#include "disk/containers/LibraryError.h"

namespace vantrel {

namespace {

std::string Why(libewf_error_t*& error) { return TakeLibraryError(error, libewf_error_sprint, libewf_error_free); }

// A stored hash as hex digits, or empty when the image stores none of that name.
std::string StoredHash(libewf_handle_t* handle, const std::string& name) {
  std::array<std::uint8_t, 160> value{};
  libewf_error_t* error = nullptr;
  const int found = libewf_handle_get_utf8_hash_value(handle, reinterpret_cast<const std::uint8_t*>(name.data()),
                                                      name.size(), value.data(), value.size(), &error);
  if (error != nullptr) libewf_error_free(&error);
  if (found != 1) return {};
  value.back() = 0;
  return reinterpret_cast<const char*>(value.data());
}

}  // namespace

EwfImageSource::EwfImageSource(const std::string& path) {
  libewf_error_t* error = nullptr;
  char** segments = nullptr;
  int segmentCount = 0;
  if (libewf_glob(path.c_str(), path.size(), LIBEWF_FORMAT_UNKNOWN, &segments, &segmentCount, &error) != 1) {
    Failed("cannot find the segments of " + path + ": " + Why(error));
    return;
  }
  ContainerDescription description;
  description.kind = ImageKind::ExpertWitness;
  for (int i = 0; i < segmentCount; ++i) description.files.emplace_back(segments[i]);
  libewf_handle_t* handle = nullptr;
  const bool opened = libewf_handle_initialize(&handle, &error) == 1 &&
                      libewf_handle_open(handle, segments, segmentCount, LIBEWF_OPEN_READ, &error) == 1;
  libewf_glob_free(segments, segmentCount, nullptr);
  if (!opened) {
    Failed("cannot open the Expert Witness image " + path + ": " + Why(error));
    if (handle != nullptr) libewf_handle_free(&handle, nullptr);
    return;
  }
  handle_ = handle;
  size64_t size = 0;
  if (libewf_handle_get_media_size(handle, &size, &error) != 1 ||
      libewf_handle_get_bytes_per_sector(handle, &bytesPerSector_, &error) != 1 || bytesPerSector_ == 0) {
    Failed("cannot read the size of the Expert Witness image " + path + ": " + Why(error));
    return;
  }
  // A chunk that fails its checksum reads as zeros, and is told apart by the checksum errors.
  libewf_handle_set_read_zero_chunk_on_error(handle, 1, nullptr);
  for (const char* name : {"MD5", "SHA1", "SHA256"})
    if (std::string hash = StoredHash(handle, name); !hash.empty()) description.storedHashes.emplace_back(name, hash);
  Opened(size, std::move(description));
}

EwfImageSource::~EwfImageSource() {
  if (handle_ == nullptr) return;
  libewf_handle_close(handle_, nullptr);
  libewf_handle_free(&handle_, nullptr);
}

bool EwfImageSource::DamagedWithin(std::uint64_t first, std::uint64_t last) {
  std::uint32_t count = 0;
  if (libewf_handle_get_number_of_checksum_errors(handle_, &count, nullptr) != 1) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t start = 0;
    std::uint64_t sectors = 0;
    if (libewf_handle_get_checksum_error(handle_, i, &start, &sectors, nullptr) != 1 || sectors == 0) continue;
    if (start <= last && start + (sectors - 1) >= first) return true;
  }
  return false;
}

bool EwfImageSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  libewf_error_t* error = nullptr;
  const ssize_t got = libewf_handle_read_random(handle_, buffer.data(), buffer.size(), static_cast<off64_t>(offset),
                                                &error);
  if (error != nullptr) libewf_error_free(&error);
  if (got != static_cast<ssize_t>(buffer.size())) return false;
  return !DamagedWithin(offset / bytesPerSector_, (offset + buffer.size() - 1) / bytesPerSector_);
}

}  // namespace vantrel
