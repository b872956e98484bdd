#include "disk/BadSectorPrompt.h"

#include <utility>

namespace vantrel {

namespace {

std::string& CurrentFile() {
  thread_local std::string file;
  return file;
}

}  // namespace

std::string BadSectorDetails(const BadSectorQuestion& question) {
  std::string text = question.count > 1 ? "Sectors " + std::to_string(question.firstSector) + " - " +
                                              std::to_string(question.firstSector + question.count - 1)
                                        : "Sector " + std::to_string(question.firstSector);
  if (!question.file.empty()) text += "\nFile : " + question.file;
  return text;
}

ReadsForFile::ReadsForFile(std::string file) : outer_(std::exchange(CurrentFile(), std::move(file))) {}

ReadsForFile::~ReadsForFile() { CurrentFile() = std::move(outer_); }

const std::string& ReadsForFile::Current() { return CurrentFile(); }

}  // namespace vantrel
