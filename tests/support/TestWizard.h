#pragma once
// A wizard state with a headless window whose dialogs are answered from a script, and
// helpers to put disks into it.

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/DialogAnswers.h"
#include "app/HeadlessWindow.h"
#include "app/WizardState.h"
#include "disk/DiskReader.h"
#include "support/MemoryDiskSource.h"

namespace vantrel::test {

struct TestWizard {
  TestWizard();

  // Adds an image file (with an optional ddrescue mapfile) through the disk enumeration.
  void UseImages(const std::vector<std::string>& paths);
  // Opens the fixture image, makes its partition linuxIndex current and builds its
  // catalogue (quick or advanced) into the state; returns that partition's manifest.
  nlohmann::json BuildFixtureCatalogue(const std::string& image, int linuxIndex, bool advanced);
  // Adds a disk held in memory as the next disk and makes it current.
  MemoryDiskSource& UseMemoryDisk(std::size_t sectors);
  // The current disk, as the engines read it.
  DiskReader Disk() { return state.disks.Current(); }

  ScriptedAnswers answers;
  HeadlessWindow window{answers};
  WizardState state;
};

}  // namespace vantrel::test
