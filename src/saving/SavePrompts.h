#pragma once
// What a saving run asks and tells while it runs: the replace question for an existing
// file, the write-error question, and the progress of each file.

#include <cstdint>
#include <filesystem>
#include <string>

#include "saving/SaveAnswers.h"

namespace vantrel {

struct SavingRun;

class SavePrompts {
 public:
  virtual ~SavePrompts() = default;
  // "Replace File Confirmation" for an existing file; closing it counts as No.
  virtual ReplaceAnswer AskReplaceFile(const std::string& path) = 0;
  // "Error Writing Destination" for a file that cannot be created or written.
  virtual WriteErrorAnswer AskWriteError(const std::string& path) = 0;
};

class SaveProgress {
 public:
  virtual ~SaveProgress() = default;
  // A file passed the options and is about to be written (run.filesSaved counts it).
  virtual void OnFileStarted(const SavingRun& /*run*/, const std::filesystem::path& /*folder*/,
                             const std::string& /*name*/) {}
  // written of size bytes of the current file are out (run.bytesWritten counts them).
  virtual void OnFileProgress(SavingRun& /*run*/, std::uint64_t /*written*/, std::uint64_t /*size*/) {}
};

}  // namespace vantrel
