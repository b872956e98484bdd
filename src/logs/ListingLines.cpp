#include "logs/ListingLines.h"

#include <ostream>
#include <span>

#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel {

std::string ListingPath(const std::vector<std::string>& fromTop) {
  std::string path;
  for (std::size_t i = 0; i < fromTop.size(); ++i) {
    path += fromTop[i];
    const bool isParentItself = i + 1 == fromTop.size();
    if (!isParentItself && (fromTop[i].empty() || fromTop[i].back() != '\\')) path += '\\';
  }
  return path;
}

std::string ListingLine(std::string parentPath, const std::string& child) {
  if (parentPath.rfind("Partition", 0) == 0) parentPath = "Root Directory ";
  return parentPath + "-> " + child;
}

void WriteCatalogueListing(const Catalogue& catalogue, const std::string& separator, std::ostream& out,
                           const NameDecoder& names) {
  const FolderLayout layout = LayOutFolders(catalogue);
  // A folder's path, and the names it is made of.
  struct Parent {
    std::string path;
    std::vector<std::string> fromTop;
  };
  using Children = std::span<const std::size_t>;
  WalkFoldersDepthFirst(
      Parent{kListingRootText, {}}, Children(layout.topLevel),
      [&](std::size_t child) { return Children(layout.children[child]); },
      [&](const Parent& parent, std::size_t child) -> std::optional<Parent> {
        const std::string name = names.Decode(catalogue.Name(catalogue.folderList[child]));
        out << ListingLine(parent.path, name) << separator;
        std::vector<std::string> fromTop = parent.fromTop;
        fromTop.push_back(name);
        std::string path = ListingPath(fromTop);
        return Parent{std::move(path), std::move(fromTop)};
      });
}

}  // namespace vantrel
