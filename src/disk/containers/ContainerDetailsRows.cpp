#include "disk/containers/ContainerDetailsRows.h"

namespace vantrel {

std::vector<std::string> ContainerDetailsRows(const ContainerDescription& container) {
  std::vector<std::string> rows;
  std::string format = ImageKindName(container.kind);
  if (!container.detail.empty()) format += ", " + container.detail;
  rows.push_back("Image Format   : " + format);
  // A split image of hundreds of pieces is shown by its first and last.
  constexpr std::size_t kFilesShown = 4;
  const std::vector<std::string>& files = container.files;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const bool shortened = files.size() > kFilesShown && i > 0 && i + 1 < files.size();
    if (shortened && i > 1) continue;
    const std::string text = shortened ? "... (" + std::to_string(files.size()) + " files)" : files[i];
    rows.push_back((i == 0 ? "Image Files   : " : "                ") + text);
  }
  for (const auto& [name, value] : container.storedHashes) rows.push_back("Stored " + name + "   : " + value);
  for (const std::string& warning : container.warnings) rows.push_back("Warning   : " + warning);
  return rows;
}

}  // namespace vantrel
