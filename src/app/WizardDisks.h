#pragma once
// The machine's disks as the wizard reads them, and the one chosen: their names and details,
// the sector reader with its bad-sector question, where a destination is looked up, and the
// disk tree label the user picked.

#include <cstdint>
#include <string>
#include <vector>

#include "app/WindowBadSectorPrompt.h"
#include "disk/DestinationOnSource.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "disk/DiskReader.h"
#include "disk/SectorReader.h"
#include "recovery/DiskChoice.h"
#include "recovery/DiskStacks.h"

namespace vantrel {

class WindowPort;

struct WizardDisks {
  // The bad-sector question goes to the window, once there is one.
  explicit WizardDisks(WindowPort*& window) : badSectorPrompt(window) {}
  WizardDisks(const WizardDisks&) = delete;
  WizardDisks& operator=(const WizardDisks&) = delete;

  DiskNameTable names;
  DiskInfoStore info;
  WindowBadSectorPrompt badSectorPrompt;
  SectorReader reader{names, &badSectorPrompt};
  // Where a destination is looked up before it is written to (tests give a device tree of
  // their own).
  DeviceLookup deviceLookup;
  // Arrays the user put together by hand (the raid search's picks), listed after those found.
  std::vector<ManualArrayParameters> arraysByHand;

  // The label of the disk tree item chosen ("Disk1", "File Systems"), that disk's model, and
  // the number of the disk read (the chosen one, or the one a recovery log named).
  std::string selectedLabel;
  std::string selectedModel;
  std::uint16_t currentIndex = 0;

  DiskReader Current() { return {reader, currentIndex}; }
  // The current disk as the engine steps take it: its size, geometry, model and the disks it
  // reads.
  DiskChoice CurrentChoice();
  // The current disk's size in sectors, 0 when unknown.
  std::uint64_t CurrentSectors() const;
  // The size in bytes of the disk a tree label names ("Disk1"), 0 when unknown or when the
  // label names no disk.
  std::uint64_t SizeOfLabel(const std::string& label) const;
};

}  // namespace vantrel
