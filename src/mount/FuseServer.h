#pragma once
// Serves a mounted volume through the kernel's FUSE 3 interface, read-only, until it is
// unmounted (fusermount3 -u) or interrupted (Ctrl-C, SIGTERM).

#include <functional>
#include <string>

#include "mount/MountedVolume.h"

namespace vantrel::mount {

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
