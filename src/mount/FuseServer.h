#pragma once
// Serves a mounted volume through the kernel's FUSE 3 interface, read-only, until it is
// unmounted (fusermount3 -u) or interrupted (Ctrl-C, SIGTERM).

#include <functional>
#include <memory>
#include <string>

#include "mount/MountedVolume.h"
#include "mount/PageCacheFill.h"

struct fuse_session;

namespace vantrel::mount {

// A volume mounted read-only on a folder through FUSE, not yet served. The mount is undone
// when this ends: lazily, so that a program still holding a file of it does not keep it.
class FuseMount {
 public:
  // Nothing, with the reason in why, when the session cannot be made or mounted.
  static std::unique_ptr<FuseMount> Make(MountedVolume& volume, const std::string& mountpoint,
                                         const std::string& fsName, std::string& why);
  ~FuseMount();
  FuseMount(const FuseMount&) = delete;
  FuseMount& operator=(const FuseMount&) = delete;

  fuse_session* Session() const { return session_; }

  // What the requests are served from.
  struct Served {
    explicit Served(MountedVolume& served) : volume(served), fill(served) {}
    MountedVolume& volume;
    PageCacheFill fill;
  };

 private:
  FuseMount(fuse_session* session, std::unique_ptr<Served> served) : session_(session), served_(std::move(served)) {}
  fuse_session* session_;
  std::unique_ptr<Served> served_;
  bool mounted_ = false;
};

struct ServeOptions {
  std::string mountpoint;
  std::string fsName;       // shown in the mount table as the source
  bool foreground = false;  // stay attached to the terminal instead of going to the background
  // Called once the file system is mounted, before the server goes to the background.
  std::function<void()> onMounted;
};

// 0 after a clean unmount; otherwise an explanation went to standard error and the result is
// non-zero: 2 when the mount failed, 1 when the session ended on an error.
int Serve(MountedVolume& volume, const ServeOptions& options);

}  // namespace vantrel::mount
