#pragma once
// Puts the contents of small files into the kernel's page cache as soon as their folder is
// listed, from threads of its own, so that a program copying a tree (cp -r, rsync, a file
// manager's thumbnails) finds them there instead of asking the server for every file: with
// tens of thousands of small files the round trips, not the disk, take the time.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "mount/MountedVolume.h"

struct fuse_session;

namespace vantrel::mount {

class PageCacheFill {
 public:
  explicit PageCacheFill(MountedVolume& volume);
  ~PageCacheFill();
  PageCacheFill(const PageCacheFill&) = delete;
  PageCacheFill& operator=(const PageCacheFill&) = delete;

  // Fills for the session from now on; before, offers are let go.
  void Start(fuse_session* session);
  // The nodes of a folder listing just sent; small files among them are filled once each.
  void Offer(std::span<const NodeId> nodes);
  // A read of the node was answered: the kernel holds what it read, and filling it is
  // skipped. A reader that overtakes the filling thus sends it ahead of itself.
  void Served(NodeId id);
  // Ends the threads, dropping what is still waiting. Before the session goes.
  void Stop();

 private:
  void Run();
  void Fill(NodeId id);

  MountedVolume& volume_;
  fuse_session* session_ = nullptr;
  enum : std::uint8_t { kNotOffered, kWaiting, kDone };
  std::unique_ptr<std::atomic<std::uint8_t>[]> states_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<NodeId> waiting_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace vantrel::mount
