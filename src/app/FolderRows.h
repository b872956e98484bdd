#pragma once
// The rows of one folder in list 1001, made when the list shows them. What the six cells
// need is copied from the catalogue in a compact form (the names in one block), so that a
// folder of a million files holds no text per row, and the list never reads the catalogue,
// which a later build or Back may replace while the window still draws it.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ListModel.h"
#include "app/TreeModel.h"
#include "base/NameDecoder.h"

namespace vantrel {

struct Catalogue;
struct CatalogueEntry;

// A row of the details list while it shows a folder: the catalogue entry it stands for.
struct ListedRow {
  bool folder = false;
  std::size_t index = 0;  // in folderList or fileList
};

class FolderRows : public ListRowSource {
 public:
  // names: the names are shown decoded by it.
  explicit FolderRows(NameDecoder names = {});

  // Each row shows its entry's objectId as ID (the row is looked up by Listed, never by
  // its text); index is the entry's place in folderList or fileList.
  void AddFolder(const Catalogue& catalogue, const CatalogueEntry& folder, std::size_t index);
  void AddFile(const Catalogue& catalogue, const CatalogueEntry& file, std::size_t index);

  std::size_t Count() const override;
  ListRow Row(std::size_t row) const override;
  ListedRow Listed(std::size_t row) const;

  // The same rows ordered by a column (folders stay before files; equal values keep their
  // order): names without regard to case, sizes, times and IDs as numbers, types by text.
  // The copy shares the rows' data.
  std::shared_ptr<const FolderRows> SortedBy(std::size_t column, bool descending) const;

  // How many rows were made so far, by this object (the list asks only for what it shows).
  std::size_t RowsMade() const { return made_.load(std::memory_order_relaxed); }

 private:
  NameDecoder names_;
  struct Entry {
    std::size_t nameOffset = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t modificationTime = 0;
    std::uint64_t size = 0;
    std::size_t index = 0;
    std::uint32_t id = 0;
    std::uint8_t typeCode = 0;
    bool folder = false;
  };
  struct Data {
    std::string names;
    std::vector<Entry> entries;
  };

  void Add(const CatalogueEntry& entry, std::string_view name, std::size_t index, std::uint32_t id, bool folder);
  const Entry& At(std::size_t row) const;
  std::string_view Name(const Entry& entry) const;

  std::shared_ptr<Data> data_;
  std::vector<std::uint32_t> order_;  // rows in sorted order; empty for the order added
  mutable std::atomic<std::size_t> made_{0};
};

}  // namespace vantrel
