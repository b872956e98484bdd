#include "mount/PageCacheFill.h"

#include <fuse_lowlevel.h>

#include <vector>

namespace vantrel::mount {

namespace {

// Files up to this size are filled; larger ones are read in large requests anyway.
constexpr std::uint64_t kMostFilledSize = 64 * 1024;
// Bounds the work one listing can queue: the rest is read on demand as usual.
constexpr std::size_t kMostWaiting = 65536;
// One gathers a body while the other hands the one before to the kernel.
constexpr int kFillingThreads = 2;

}  // namespace

PageCacheFill::PageCacheFill(MountedVolume& volume)
    : volume_(volume), states_(std::make_unique<std::atomic<std::uint8_t>[]>(volume.Tree().Count() + 1)) {}

PageCacheFill::~PageCacheFill() { Stop(); }

void PageCacheFill::Start(fuse_session* session) {
  std::lock_guard lock(mutex_);
  session_ = session;
}

void PageCacheFill::Offer(std::span<const NodeId> nodes) {
  std::lock_guard lock(mutex_);
  if (session_ == nullptr || stopping_) return;
  // Started by the first listing, in the process that serves: a server that goes to the
  // background forks after the mount, and a thread does not follow a fork.
  if (threads_.empty())
    for (int i = 0; i < kFillingThreads; ++i) threads_.emplace_back([this] { Run(); });
  for (const NodeId id : nodes) {
    const MountNode* node = volume_.Tree().Node(id);
    if (node == nullptr || node->kind != NodeKind::File || !node->sizeKnown || node->size == 0 ||
        node->size > kMostFilledSize || waiting_.size() >= kMostWaiting)
      continue;
    std::uint8_t expected = kNotOffered;
    if (states_[id].compare_exchange_strong(expected, kWaiting)) waiting_.push_back(id);
  }
  wake_.notify_one();
}

void PageCacheFill::Served(NodeId id) {
  if (volume_.Tree().Node(id) != nullptr) states_[id].store(kDone);
}

void PageCacheFill::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void PageCacheFill::Run() {
  for (;;) {
    NodeId id = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      id = waiting_.front();
      waiting_.pop_front();
    }
    if (states_[id].exchange(kDone) == kWaiting) Fill(id);
  }
}

void PageCacheFill::Fill(NodeId id) {
  std::vector<std::byte> bytes(static_cast<std::size_t>(volume_.Tree().Node(id)->size));
  const VolumeRead read = volume_.Read(id, 0, bytes);
  // A read that fails (under --strict, a damaged range) stays the server's to answer.
  if (read.error != 0 || read.length != bytes.size()) return;
  fuse_bufvec buffer = FUSE_BUFVEC_INIT(read.length);
  buffer.buf[0].mem = bytes.data();
  // The kernel may have let the inode go meanwhile: then it is simply not filled.
  fuse_lowlevel_notify_store(session_, id, 0, &buffer, static_cast<fuse_buf_copy_flags>(0));
}

}  // namespace vantrel::mount
