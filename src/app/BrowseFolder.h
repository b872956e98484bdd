#pragma once
// "Browse" at the catalogue step: the current catalogue mounted read-only in a private
// folder and opened with the desktop's file manager, so that the user can look through it
// with the tools of the desktop. The mount is undone and the folder removed when the
// catalogue changes (Back, a new build, Load Log) and when the window closes.

#include <string>

#include "disk/SectorReader.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "saving/FileBody.h"

namespace vantrel {

struct WizardState;

// What serves a catalogue as a folder; the window provides one (a FUSE mount in this process).
class CatalogueMounter {
 public:
  virtual ~CatalogueMounter() = default;
  // Serves the catalogue read-only on the empty folder, its files read from the partition
  // as saving reads them. Empty when it is mounted, otherwise why not.
  virtual std::string Mount(const PartitionSource& partition, Catalogue catalogue, BodySource bodies,
                            const std::string& folder) = 0;
  // Undoes the mount; nothing when there is none.
  virtual void Unmount() = 0;
};

inline constexpr const char* kBrowseUnavailable = "Browsing the catalogue as a folder is not available here";
inline constexpr const char* kBrowseFailed = "The catalogue could not be opened as a folder: ";

class BrowseFolder {
 public:
  explicit BrowseFolder(WizardState& state);
  ~BrowseFolder();
  BrowseFolder(const BrowseFolder&) = delete;
  BrowseFolder& operator=(const BrowseFolder&) = delete;

  void UseMounter(CatalogueMounter* mounter) { mounter_ = mounter; }
  // Mounts the catalogue in a new private folder (under $XDG_RUNTIME_DIR, else /tmp) unless
  // it is mounted already, and opens the folder; a failure is told in a message.
  void Open();
  // Unmounts the catalogue and removes its folder; nothing when none is mounted.
  void End();
  // The folder of the mounted catalogue, empty when there is none.
  const std::string& Folder() const { return folder_; }

 private:
  WizardState& state_;
  CatalogueMounter* mounter_ = nullptr;
  // The mount's own reader: reads come from the file manager at any time, with nobody to
  // ask about a bad sector, so one reads as zeros (and the file is marked damaged).
  SectorReader reader_;
  std::string folder_;
};

}  // namespace vantrel
