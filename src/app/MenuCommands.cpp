#include "app/MenuCommands.h"

#include "app/ControlIds.h"

namespace vantrel {

using namespace control;

const std::vector<MenuGroup>& MainMenu() {
  static const std::vector<MenuGroup> menu = {
      {"&Options",
       {{kMenuSave, "&Save ", "Save files that have been selected \n"},
        {kMenuSaveSettings, "Save Se&ttings", "Set the options for saving selected data\n"},
        {kMenuBrowse, "&Browse", "Open the recovered folders read-only in the file manager\n"},
        {kMenuExit, "E&xit", "Quit from Vantrel\n"}},
       {{"Save &later",
         {{kMenuSaveLog, "Save Log", "Save the recovery information\n"},
          {kMenuLoadLog, "Load Log", "Load the recovery information\n"}},
         {},
         -1}},
       3},
      {"&Maintenance",
       {{kMenuUpdate, "&Update", "Update Vantrel\n"}},
       {{"Report",
         {{kMenuViewReport, "&View Report", "View the recovery details\n"}, {kMenuEmailReport, "&Email Report", ""}},
         {},
         -1}},
       -1},
      {"&Directory List",
       {{kMenuDirectoryView, "&View", "View Directory Information"},
        {kMenuDirectoryPrint, "&Print", "Print Directory Information"},
        {kMenuDirectoryEmail, "&Email List", "Email Directory Information"}},
       {},
       -1},
      {"&Support",
       {{kMenuSupportOnline, "&Online", "Online chat support \n(only for Korvane's Data Recovery Centers)"},
        {kMenuSupportEmail, "&Email", "Support through email"},
        {kMenuSupportTelephone, "&Telephonic", ""}},
       {},
       -1},
      {"&Help",
       {{kMenuHelpContents, "&Contents        ", "Contents"},
        {kMenuBalloonHelp, "&Show Balloon Help", "Show (or) Hide Balloon Help"},
        {kMenuAbout, "&About...", "About Vantrel \n"}},
       {},
       -1},
  };
  return menu;
}

namespace {

std::string FindPrompt(const MenuGroup& group, int command) {
  for (const MenuEntry& entry : group.entries)
    if (entry.command == command) return entry.prompt;
  for (const MenuGroup& sub : group.submenus)
    if (std::string prompt = FindPrompt(sub, command); !prompt.empty()) return prompt;
  return {};
}

}  // namespace

BalloonPoint MenuBalloonPoint(int command, int itemLeft, int itemTop, int itemRight) {
  struct Offset {
    int command, x, y;
  };
  static constexpr Offset kOffsets[] = {
      {kMenuHelpContents, 280, 10},   {kMenuSaveLog, 190, 60},        {kMenuLoadLog, 190, 70},
      {kMenuViewReport, 220, 30},     {kMenuEmailReport, 231, 37},    {kMenuSupportOnline, 210, 10},
      {kMenuSupportEmail, 210, 20},   {kMenuSupportTelephone, 210, 22}, {kMenuBalloonHelp, 280, 12},
      {kMenuDirectoryView, 210, 40},  {kMenuDirectoryPrint, 210, 50}, {kMenuDirectoryEmail, 210, 40},
      {kMenuAbout, 310, 15},
  };
  for (const Offset& offset : kOffsets)
    if (offset.command == command) return {itemLeft + offset.x, itemTop + offset.y};
  return {itemRight + 10, itemTop + 20};
}

std::string CommandPrompt(int command) {
  for (const MenuGroup& group : MainMenu())
    if (std::string prompt = FindPrompt(group, command); !prompt.empty()) return prompt;
  return {};
}

}  // namespace vantrel
