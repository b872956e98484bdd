#pragma once
// The main window's menu bar: its menus, entries, command identifiers and prompt strings
// (shown on the status bar and in balloon help).

#include <string>
#include <vector>

namespace vantrel {

struct MenuEntry {
  int command = 0;  // 0 for a separator
  std::string text;
  std::string prompt;
};

struct MenuGroup {
  std::string title;
  std::vector<MenuEntry> entries;
  std::vector<MenuGroup> submenus;  // shown after the entries, in order
  int submenuPosition = -1;         // index among the entries where the submenus go; -1: at the end
};

const std::vector<MenuGroup>& MainMenu();

// The prompt string of a command, empty when it has none.
std::string CommandPrompt(int command);

// Where a command's balloon goes, from its menu item's rectangle (pixels).
struct BalloonPoint {
  int x = 0;
  int y = 0;
};
BalloonPoint MenuBalloonPoint(int command, int itemLeft, int itemTop, int itemRight);

}  // namespace vantrel
