#include "disk/FileDiskSource.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "disk/DeviceOpener.h"

namespace vantrel {

FileDiskSource::FileDiskSource(std::string path, std::optional<BadSectorMap> badSectors)
    : path_(std::move(path)), badSectors_(std::move(badSectors)) {}

FileDiskSource::~FileDiskSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileDiskSource::EnsureOpen() {
  std::lock_guard lock(openMutex_);
  if (fd_ >= 0) return true;
  // Read-only, always: the source disk is never written.
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && (errno == EACCES || errno == EPERM)) {
    const std::string denied = std::strerror(errno);
    struct stat named {};
    if (::stat(path_.c_str(), &named) == 0 && S_ISBLK(named.st_mode)) {
      // A disk that is not the user's to read may still be reached through the opener,
      // asked once: a refusal is not put to the user again at every read.
      if (openerRefused_) return false;
      std::string why;
      fd = OpenThroughDeviceOpener(path_, &why);
      if (fd < 0) {
        openerRefused_ = true;
        openError_ = "cannot open " + path_ + ": " + denied + " (" + why + ")";
        return false;
      }
    } else {
      openError_ = "cannot open " + path_ + ": " + denied;
      return false;
    }
  }
  if (fd < 0) {
    openError_ = "cannot open " + path_ + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    openError_ = "cannot examine " + path_ + ": " + std::strerror(errno);
    ::close(fd);
    return false;
  }
  if (S_ISBLK(info.st_mode)) {
    std::uint64_t bytes = 0;
    if (::ioctl(fd, BLKGETSIZE64, &bytes) != 0) {
      openError_ = "cannot read the size of " + path_ + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    blockDevice_ = true;
    size_ = bytes;
  } else if (S_ISREG(info.st_mode)) {
    size_ = static_cast<std::uint64_t>(info.st_size);
  } else {
    openError_ = path_ + " is neither a disk image file nor a block device";
    ::close(fd);
    return false;
  }
  openError_.clear();
  fd_ = fd;
  return true;
}

std::size_t FileDiskSource::HoleBytes(std::uint64_t position, std::size_t length) const {
  const off_t data = ::lseek(fd_, static_cast<off_t>(position), SEEK_DATA);
  if (data < 0) return errno == ENXIO ? length : 0;  // ENXIO: only a hole follows
  return static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(data) - position, length));
}

ReadOutcome FileDiskSource::ReadFully(std::uint64_t offset, std::span<std::byte> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const std::uint64_t position = offset + done;
    if (position >= size_) break;
    std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size() - done, size_ - position));
    if (!blockDevice_) {
      // Holes of a sparse image read as zeros without asking the file system for them.
      const std::size_t hole = HoleBytes(position, wanted);
      if (hole > 0) {
        std::memset(buffer.data() + done, 0, hole);
        done += hole;
        continue;
      }
    }
    const ssize_t got = ::pread(fd_, buffer.data() + done, wanted, static_cast<off_t>(position));
    if (got < 0) {
      if (errno == EINTR) continue;
      return ReadOutcome::Failed;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  if (done < buffer.size()) std::memset(buffer.data() + done, 0, buffer.size() - done);
  return ReadOutcome::Ok;
}

ReadOutcome FileDiskSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  if (!EnsureOpen()) return ReadOutcome::CannotOpen;
  // A read that touches an area the map does not mark as finished fails as a whole and
  // transfers nothing, like a device read that meets an unreadable sector.
  if (badSectors_ && badSectors_->Touches(offset, buffer.size())) return ReadOutcome::Failed;
  return ReadFully(offset, buffer);
}

bool FileDiskSource::CopyRange(std::uint64_t offset, std::size_t length, int toFd, std::uint64_t toOffset) {
  if (!EnsureOpen() || blockDevice_ || offset > size_ || size_ - offset < length) return false;
  if (badSectors_ && badSectors_->Touches(offset, length)) return false;
  auto from = static_cast<loff_t>(offset);
  auto to = static_cast<loff_t>(toOffset);
  std::size_t left = length;
  while (left > 0) {
    const ssize_t copied = ::copy_file_range(fd_, &from, toFd, &to, left, 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied <= 0) return false;
    left -= static_cast<std::size_t>(copied);
  }
  return true;
}

std::optional<std::uint64_t> FileDiskSource::Size() {
  if (!EnsureOpen()) return std::nullopt;
  return size_;
}

std::string FileDiskSource::OpenError() {
  EnsureOpen();
  std::lock_guard lock(openMutex_);
  return openError_;
}

bool FileDiskSource::IsBlockDevice() { return EnsureOpen() && blockDevice_; }

int FileDiskSource::Descriptor() { return EnsureOpen() ? fd_ : -1; }

}  // namespace vantrel
