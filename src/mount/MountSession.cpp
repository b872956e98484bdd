#include "mount/MountSession.h"

#include <fcntl.h>
#include <fuse_lowlevel.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "mount/FuseServer.h"

namespace vantrel::mount {

namespace {

constexpr int kServingThreads = 4;

}  // namespace

MountSession::MountSession() = default;

MountSession::~MountSession() { Stop(); }

bool MountSession::Start(std::unique_ptr<MountedVolume> volume, const std::string& mountpoint,
                         const std::string& fsName, std::string& why) {
  if (Running()) {
    why = "a folder is mounted already";
    return false;
  }
  auto mount = FuseMount::Make(*volume, mountpoint, fsName, why);
  if (!mount) return false;
  // Requests are awaited with poll beside the stop event: a thread never sits in a read of
  // the device that only the end of the connection could wake.
  const int device = fuse_session_fd(mount->Session());
  const int flags = ::fcntl(device, F_GETFL);
  const int stopEvent = ::eventfd(0, EFD_CLOEXEC);
  if (flags < 0 || ::fcntl(device, F_SETFL, flags | O_NONBLOCK) != 0 || stopEvent < 0) {
    if (stopEvent >= 0) ::close(stopEvent);
    why = "the FUSE device could not be set up for serving";
    return false;
  }
  volume_ = std::move(volume);
  mount_ = std::move(mount);
  stopEvent_ = stopEvent;
  for (int i = 0; i < kServingThreads; ++i) threads_.emplace_back([this] { Serve(); });
  return true;
}

void MountSession::Serve() {
  fuse_session* session = mount_->Session();
  pollfd waits[2] = {{fuse_session_fd(session), POLLIN, 0}, {stopEvent_, POLLIN, 0}};
  fuse_buf buffer{};
  while (!fuse_session_exited(session)) {
    if (::poll(waits, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (waits[1].revents != 0) break;
    // Another thread may have taken the request: the read then finds nothing (EAGAIN).
    const int received = fuse_session_receive_buf(session, &buffer);
    if (received == -EAGAIN || received == -EINTR) continue;
    if (received <= 0) break;  // the connection ended (0) or failed
    fuse_session_process_buf(session, &buffer);
  }
  std::free(buffer.mem);
}

void MountSession::Stop() {
  if (!Running()) return;
  const std::uint64_t one = 1;
  while (::write(stopEvent_, &one, sizeof one) < 0 && errno == EINTR) {
  }
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  // The device is closed with the mount: whatever still holds a file of the folder then
  // gets an error rather than a wait on a server that is gone.
  mount_.reset();
  volume_.reset();
  ::close(stopEvent_);
  stopEvent_ = -1;
}

}  // namespace vantrel::mount
