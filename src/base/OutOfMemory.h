#pragma once
// An allocation failure in an engine run ends that run, not the program: the run's stack
// unwinds (a file being written is removed on the way), and the user is told.

#include <new>
#include <stdexcept>

namespace vantrel {

inline constexpr const char* kOutOfMemory = "Out Of Memory";

// Runs work; false when an allocation failed inside it (std::bad_alloc, or
// std::length_error from a size beyond what a container can hold). Taking the work as it
// is, not wrapped in a std::function, allocates nothing itself.
template <class Work>
bool RunUnlessOutOfMemory(Work&& work) {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

}  // namespace vantrel
