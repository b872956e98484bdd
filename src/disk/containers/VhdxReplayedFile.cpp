#include "disk/containers/VhdxReplayedFile.h"

#include <fcntl.h>
#include <libbfio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace vantrel {

namespace {

struct ReplayedFile {
  std::string path;
  std::shared_ptr<const VhdxLogReplay> replay;
  std::uint64_t size = 0;  // the file's, or the replay's end where that lies further
  int fd = -1;
  std::uint64_t position = 0;
};

ReplayedFile* Of(std::intptr_t* io) { return reinterpret_cast<ReplayedFile*>(io); }

int FreeFile(std::intptr_t** io, libbfio_error_t** /*error*/) {
  if (io == nullptr || *io == nullptr) return 1;
  ReplayedFile* file = Of(*io);
  if (file->fd >= 0) ::close(file->fd);
  delete file;  // NOLINT(cppcoreguidelines-owning-memory): libbfio owns it through an intptr_t
  *io = nullptr;
  return 1;
}

int CloneFile(std::intptr_t** destination, std::intptr_t* source, libbfio_error_t** /*error*/) {
  if (destination == nullptr || source == nullptr) return -1;
  auto* copy = new ReplayedFile{Of(source)->path, Of(source)->replay, Of(source)->size};  // NOLINT
  *destination = reinterpret_cast<std::intptr_t*>(copy);
  return 1;
}

int OpenFile(std::intptr_t* io, int access, libbfio_error_t** /*error*/) {
  if ((access & LIBBFIO_ACCESS_FLAG_WRITE) != 0) return -1;  // read-only, always
  ReplayedFile* file = Of(io);
  if (file->fd < 0) file->fd = ::open(file->path.c_str(), O_RDONLY | O_CLOEXEC);
  file->position = 0;
  return file->fd >= 0 ? 1 : -1;
}

int CloseFile(std::intptr_t* io, libbfio_error_t** /*error*/) {
  ReplayedFile* file = Of(io);
  if (file->fd >= 0) ::close(file->fd);
  file->fd = -1;
  return 0;
}

// The file's bytes from `offset` (zeros past its end), then the replayed writes over them in order.
ssize_t ReadFile(std::intptr_t* io, std::uint8_t* buffer, std::size_t size, libbfio_error_t** /*error*/) {
  ReplayedFile* file = Of(io);
  if (file->fd < 0) return -1;
  const std::uint64_t offset = file->position;
  const std::size_t count = offset >= file->size
                                ? 0
                                : static_cast<std::size_t>(std::min<std::uint64_t>(size, file->size - offset));
  std::memset(buffer, 0, count);
  for (std::size_t done = 0; done < count;) {
    const ssize_t got = ::pread(file->fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0) return -1;
    if (got == 0) break;  // past the file's end: zeros, as the replay extends it
    done += static_cast<std::size_t>(got);
  }
  const std::uint64_t end = offset + count;
  for (const VhdxLogWrite& write : file->replay->writes) {
    if (write.length == 0 || write.offset >= end || write.offset + write.length <= offset) continue;
    const std::uint64_t from = std::max(offset, write.offset);
    const std::uint64_t to = std::min(end, write.offset + write.length);
    std::uint8_t* into = buffer + (from - offset);
    if (write.data.empty())
      std::memset(into, 0, static_cast<std::size_t>(to - from));
    else
      std::memcpy(into, write.data.data() + (from - write.offset), static_cast<std::size_t>(to - from));
  }
  file->position = end;
  return static_cast<ssize_t>(count);
}

ssize_t WriteFile(std::intptr_t* /*io*/, const std::uint8_t* /*buffer*/, std::size_t /*size*/,
                  libbfio_error_t** /*error*/) {
  return -1;
}

off64_t SeekFile(std::intptr_t* io, off64_t offset, int whence, libbfio_error_t** /*error*/) {
  ReplayedFile* file = Of(io);
  const off64_t base = whence == SEEK_CUR   ? static_cast<off64_t>(file->position)
                       : whence == SEEK_END ? static_cast<off64_t>(file->size)
                                            : 0;
  if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
  if (offset < -base) return -1;
  file->position = static_cast<std::uint64_t>(base + offset);
  return static_cast<off64_t>(file->position);
}

int FileExists(std::intptr_t* io, libbfio_error_t** /*error*/) {
  return ::access(Of(io)->path.c_str(), R_OK) == 0 ? 1 : 0;
}

int FileIsOpen(std::intptr_t* io, libbfio_error_t** /*error*/) { return Of(io)->fd >= 0 ? 1 : 0; }

int FileSize(std::intptr_t* io, size64_t* size, libbfio_error_t** /*error*/) {
  *size = Of(io)->size;
  return 1;
}

}  // namespace

std::intptr_t* OpenReplayedVhdx(const std::string& path, const VhdxLogReplay& logged) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return nullptr;
  // Writes past the file's end extend it; so does the head entry's last file offset.
  VhdxLogReplay replay = logged;
  std::uint64_t size = std::max(static_cast<std::uint64_t>(status.st_size), replay.lastFileOffset);
  for (VhdxLogWrite& write : replay.writes) {
    write.length = std::min(write.length, UINT64_MAX - write.offset);  // no end past what a file can have
    size = std::max(size, write.offset + write.length);
  }
  auto* file = new ReplayedFile{path, std::make_shared<const VhdxLogReplay>(std::move(replay)), size};  // NOLINT
  libbfio_handle_t* handle = nullptr;
  if (libbfio_handle_initialize(&handle, reinterpret_cast<std::intptr_t*>(file), FreeFile, CloneFile, OpenFile,
                                CloseFile, ReadFile, WriteFile, SeekFile, FileExists, FileIsOpen, FileSize,
                                LIBBFIO_FLAG_IO_HANDLE_MANAGED | LIBBFIO_FLAG_IO_HANDLE_CLONE_BY_FUNCTION,
                                nullptr) != 1) {
    auto* io = reinterpret_cast<std::intptr_t*>(file);
    FreeFile(&io, nullptr);
    return nullptr;
  }
  return handle;
}

}  // namespace vantrel
