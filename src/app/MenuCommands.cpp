#include "app/MenuCommands.h"

#include "app/ControlIds.h"

namespace vantrel {

using namespace control;

const std::vector<MenuGroup>& MainMenu() {
  static const std::vector<MenuGroup> menu = {
      {"&Options",
       {{kMenuSave, "&Save ", "Save files that have been selected \n"},
        {kMenuSaveSettings, "Save Se&ttings", "Set the options for saving selected data\n"},
        {kMenuExit, "E&xit", "Quit from Vantrel\n"}},
       {{"Save &later",
         {{kMenuSaveLog, "Save Log", "Save the recovery information\n"},
          {kMenuLoadLog, "Load Log", "Load the recovery information\n"}},
         {},
         -1}},
       2},
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

std::string CommandPrompt(int command) {
  for (const MenuGroup& group : MainMenu())
    if (std::string prompt = FindPrompt(group, command); !prompt.empty()) return prompt;
  return {};
}

}  // namespace vantrel
