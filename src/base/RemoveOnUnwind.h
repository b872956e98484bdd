#pragma once
// A file being written that an exception (an allocation failure) leaves unfinished is
// closed and removed, so that no partial file passes for a recovered one. Normal returns
// leave the file alone: the writer closes it and decides about it as before.

#include <unistd.h>

#include <exception>

namespace vantrel {

class RemoveOnUnwind {
 public:
  // path must stay valid until Closed(); fd is closed by the guard only when it removes the file.
  RemoveOnUnwind(const char* path, int fd) : path_(path), fd_(fd), exceptions_(std::uncaught_exceptions()) {}
  RemoveOnUnwind(const RemoveOnUnwind&) = delete;
  RemoveOnUnwind& operator=(const RemoveOnUnwind&) = delete;
  // The file is closed and complete (or dealt with): the guard lets it be.
  void Closed() { path_ = nullptr; }
  ~RemoveOnUnwind() {
    if (path_ == nullptr || std::uncaught_exceptions() <= exceptions_) return;
    ::close(fd_);
    ::unlink(path_);
  }

 private:
  const char* path_;
  int fd_;
  int exceptions_;
};

}  // namespace vantrel
