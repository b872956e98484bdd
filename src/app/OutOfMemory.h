#pragma once
// An allocation failure in an engine run ends that run, not the program: the run's stack
// unwinds (a file being written is removed on the way), and the user is told.

#include <functional>

namespace vantrel {

inline constexpr const char* kOutOfMemory = "Out Of Memory";

// Runs work; false when an allocation failed inside it (std::bad_alloc, or
// std::length_error from a size beyond what a container can hold).
bool RunUnlessOutOfMemory(const std::function<void()>& work);

}  // namespace vantrel
