#pragma once
// "Browse" at the catalogue step: the current catalogue mounted read-only in a private
// folder and opened with the desktop's file manager, so that the user can look through it
// with the tools of the desktop. The mount is undone and the folder removed when the
// catalogue changes (Back, a new build, Load Log) and when the window closes.

#include <functional>
#include <string>

#include "base/StopToken.h"
#include "disk/SectorReader.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/ChosenCatalogue.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

struct WizardState;

// What serves a catalogue as a folder; the window provides one (a FUSE mount in this process).
class CatalogueMounter {
 public:
  virtual ~CatalogueMounter() = default;
  // Serves the catalogue read-only on the empty folder, its files read from the partition
  // as saving reads them; what it reads first is reported to status, and ends at stop.
  // Empty when it is mounted, otherwise why not (anything, when stopped).
  virtual std::string Mount(const PartitionSource& partition, Catalogue catalogue, BodySource bodies,
                            const std::string& folder, const StopToken& stop, BuildStatusSink& status) = 0;
  // Undoes the mount; nothing when there is none.
  virtual void Unmount() = 0;
};

inline constexpr const char* kBrowseUnavailable = "Browsing the catalogue as a folder is not available here";
inline constexpr const char* kBrowseFailed = "The catalogue could not be opened as a folder: ";
inline constexpr const char* kPreparingBrowse = "Preparing the catalogue for browsing\u2026";

class BrowseFolder {
 public:
  explicit BrowseFolder(WizardState& state);
  ~BrowseFolder();
  BrowseFolder(const BrowseFolder&) = delete;
  BrowseFolder& operator=(const BrowseFolder&) = delete;

  void UseMounter(CatalogueMounter* mounter) { mounter_ = mounter; }
  // On a worker: mounts the catalogue in a new private folder (under $XDG_RUNTIME_DIR, else
  // /tmp) unless it is mounted already, and opens the folder; a failure is told in a
  // message. Meanwhile the bar and the Stop button show; Stop ends it with nothing mounted.
  void Open();
  // Unmounts the catalogue and removes its folder; nothing when none is mounted.
  void End();
  // The folder of the mounted catalogue, empty when there is none.
  const std::string& Folder() const { return folder_; }

 private:
  // Runs mount with the bar and the Stop button shown; what it returned.
  std::string Prepared(const std::function<std::string(const StopToken&, BuildStatusSink&)>& mount);

  WizardState& state_;
  CatalogueMounter* mounter_ = nullptr;
  // The mount's own reader: reads come from the file manager at any time, with nobody to
  // ask about a bad sector, so one reads as zeros (and the file is marked damaged).
  SectorReader reader_;
  std::string folder_;    // set and read on the window's thread
  bool stopped_ = false;  // the last preparation was stopped
};

}  // namespace vantrel
