#include "app/OutOfMemory.h"

#include <new>
#include <stdexcept>

namespace vantrel {

bool RunUnlessOutOfMemory(const std::function<void()>& work) {
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
