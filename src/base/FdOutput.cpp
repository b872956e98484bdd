#include "base/FdOutput.h"

#include <unistd.h>

#include <cerrno>

namespace vantrel {

FdOutput::Buffer::Buffer(int target) : fd(target) { setp(bytes_.data(), bytes_.data() + bytes_.size()); }

bool FdOutput::Buffer::Drain() {
  const char* at = pbase();
  while (at < pptr() && !failed) {
    const ssize_t n = ::write(fd, at, static_cast<std::size_t>(pptr() - at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      failed = true;
    else
      at += n;
  }
  setp(bytes_.data(), bytes_.data() + bytes_.size());
  return !failed;
}

FdOutput::Buffer::int_type FdOutput::Buffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

int FdOutput::Buffer::sync() { return Drain() ? 0 : -1; }

FdOutput::FdOutput(int fd) : std::ostream(nullptr), buffer_(fd) {
  rdbuf(&buffer_);
  if (fd < 0) setstate(std::ios::badbit);
}

FdOutput::~FdOutput() { Close(); }

bool FdOutput::Close() {
  if (buffer_.fd < 0) return false;
  const bool drained = buffer_.Drain();
  const bool closed = ::close(buffer_.fd) == 0;
  buffer_.fd = -1;
  return drained && closed && !bad();
}

}  // namespace vantrel
