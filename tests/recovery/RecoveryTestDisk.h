#pragma once
// A fixture image opened as the console opens its disks, and watchers that record what the
// recovery steps tell, for the tests of the engine API.

#include <string>
#include <vector>

#include "disk/DiskEnumeration.h"
#include "disk/SectorReader.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/DiskChoice.h"
#include "saving/SavePrompts.h"

namespace vantrel::test {

class RecoveryTestDisk {
 public:
  explicit RecoveryTestDisk(const std::string& image) { problems_ = OpenDisks(names_, info_, {NamedDisk{image, {}}}); }
  DiskChoice Disk(int n = 0) { return ChooseDisk(reader_, names_, info_, problems_, n); }

 private:
  DiskNameTable names_;
  DiskInfoStore info_;
  SectorReader reader_{names_};
  std::vector<EnumerationProblem> problems_;
};

// Keeps every message and remark, and answers every question the same way.
class RecordingWatchers : public RecoveryMessages, public SavePrompts, public SaveProgress {
 public:
  void Tell(const std::string& text, MessageStyle style) override { told.push_back({text, style}); }
  void Remark(const std::string& text) override { remarks.push_back(text); }
  ReplaceAnswer AskReplaceFile(const std::string&) override { return replace; }
  WriteErrorAnswer AskWriteError(const std::string&) override { return WriteErrorAnswer::Skip; }

  CatalogueWatchers Catalogue() { return {search, build, *this}; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& [text, style] : told) texts.push_back(text);
    return texts;
  }

  struct Told {
    std::string text;
    MessageStyle style;
  };
  std::vector<Told> told;
  std::vector<std::string> remarks;
  ReplaceAnswer replace = ReplaceAnswer::No;
  PartitionSearchProgress search;
  SilentBuildStatus build;
};

}  // namespace vantrel::test
