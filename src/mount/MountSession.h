#pragma once
// A mounted volume served from threads of this process, for a program that goes on with
// other work meanwhile (the desktop window): started on a folder, stopped at will. Stopping
// never waits on the programs that use the folder: they are cut off instead.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mount/MountedVolume.h"

namespace vantrel::mount {

class FuseMount;

class MountSession {
 public:
  MountSession();
  ~MountSession();
  MountSession(const MountSession&) = delete;
  MountSession& operator=(const MountSession&) = delete;

  // Mounts the volume read-only on the folder and serves it. False, with the reason in why,
  // when it cannot be mounted (or a session runs already).
  bool Start(std::unique_ptr<MountedVolume> volume, const std::string& mountpoint, const std::string& fsName,
             std::string& why);
  // Ends the serving threads and undoes the mount; nothing when none runs.
  void Stop();
  bool Running() const { return mount_ != nullptr; }

 private:
  void Serve();

  std::unique_ptr<MountedVolume> volume_;
  std::unique_ptr<FuseMount> mount_;
  int stopEvent_ = -1;  // readable once Stop is asked
  std::vector<std::thread> threads_;
};

}  // namespace vantrel::mount
