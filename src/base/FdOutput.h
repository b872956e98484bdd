#pragma once
// An output stream over a file descriptor it owns, with a buffer of its own: for files
// opened with flags that std::ofstream cannot give (O_EXCL, O_NOFOLLOW). Write errors
// make the stream fail; Close reports whether every byte reached the file.

#include <array>
#include <ostream>
#include <streambuf>

namespace vantrel {

class FdOutput : public std::ostream {
 public:
  explicit FdOutput(int fd);
  ~FdOutput() override;
  FdOutput(const FdOutput&) = delete;
  FdOutput& operator=(const FdOutput&) = delete;

  // Writes what is buffered and closes the descriptor; false when anything was lost.
  bool Close();

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(int target);
    bool Drain();
    int fd = -1;
    bool failed = false;

   protected:
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    std::array<char, 1 << 16> bytes_{};
  };
  Buffer buffer_;
};

}  // namespace vantrel
