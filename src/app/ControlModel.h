#pragma once
// Qt-free state of the main window's simple controls (buttons, texts, progress bars),
// addressed by their numeric identifiers.

#include <map>
#include <string>

namespace vantrel {

struct ControlState {
  std::string text;
  bool shown = true;
  bool enabled = true;
  bool checked = false;
  int progress = 0;  // 0 to 100, for progress bars
};

class ControlModel {
 public:
  ControlState& At(int id) { return controls_[id]; }
  const ControlState& Get(int id) const;

 private:
  std::map<int, ControlState> controls_;
};

}  // namespace vantrel
