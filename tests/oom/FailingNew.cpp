// Preloaded into a program under test: operator new fails once, at the call numbered by
// VANTREL_FAIL_NEW_AT (counting from 1; unset or 0, never). VANTREL_COUNT_NEW_TO names a
// file that receives the number of calls when the program ends. The program's allocation
// failures are thus met where they really happen.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> calls{0};

long FailAt() {
  static const long at = [] {
    const char* text = std::getenv("VANTREL_FAIL_NEW_AT");
    return text != nullptr ? std::atol(text) : 0L;
  }();
  return at;
}

struct CountOnExit {
  ~CountOnExit() {
    if (const char* path = std::getenv("VANTREL_COUNT_NEW_TO"))
      if (std::FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%ld\n", calls.load());
        std::fclose(file);
      }
  }
} countOnExit;

}  // namespace

void* operator new(std::size_t size) {
  if (++calls == FailAt()) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
