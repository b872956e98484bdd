#include "app/ControlModel.h"

namespace vantrel {

const ControlState& ControlModel::Get(int id) const {
  static const ControlState kUntouched;
  const auto found = controls_.find(id);
  return found == controls_.end() ? kUntouched : found->second;
}

}  // namespace vantrel
