#include "app/FolderRows.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "app/CatalogueRowCells.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

namespace {

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
  });
}

}  // namespace

FolderRows::FolderRows(NameDecoder names) : names_(std::move(names)), data_(std::make_shared<Data>()) {}

void FolderRows::Add(const CatalogueEntry& entry, std::string_view name, std::size_t index, std::uint32_t id,
                     bool folder) {
  Entry added;
  added.nameOffset = data_->names.size();
  added.nameLength = static_cast<std::uint32_t>(name.size());
  added.modificationTime = entry.modificationTime;
  added.size = entry.size;
  added.index = index;
  added.id = id;
  added.typeCode = entry.typeCode;
  added.folder = folder;
  data_->names += name;
  data_->entries.push_back(added);
}

void FolderRows::AddFolder(const Catalogue& catalogue, const CatalogueEntry& folder, std::size_t index) {
  Add(folder, names_.Decode(catalogue.Name(folder)), index, folder.objectId, true);
}

void FolderRows::AddFile(const Catalogue& catalogue, const CatalogueEntry& file, std::size_t index) {
  Add(file, names_.Decode(catalogue.Name(file)), index, file.objectId, false);
}

std::size_t FolderRows::Count() const { return data_->entries.size(); }

const FolderRows::Entry& FolderRows::At(std::size_t row) const {
  return data_->entries[order_.empty() ? row : order_[row]];
}

std::string_view FolderRows::Name(const Entry& entry) const {
  return std::string_view(data_->names).substr(entry.nameOffset, entry.nameLength);
}

ListRow FolderRows::Row(std::size_t row) const {
  made_.fetch_add(1, std::memory_order_relaxed);
  ListRow made;
  if (row >= Count()) return made;
  const Entry& entry = At(row);
  const auto cells = CatalogueRowCells(Name(entry), entry.folder ? kFolderTypeText : FileTypeText(entry.typeCode),
                                       entry.size, entry.modificationTime, entry.id);
  made.cells.assign(cells.begin(), cells.end());
  made.image = entry.folder ? kFolderRowImage : kFileRowImage;
  return made;
}

ListedRow FolderRows::Listed(std::size_t row) const {
  if (row >= Count()) return {};
  const Entry& entry = At(row);
  return {entry.folder, entry.index};
}

std::shared_ptr<const FolderRows> FolderRows::SortedBy(std::size_t column, bool descending) const {
  auto sorted = std::make_shared<FolderRows>();
  sorted->data_ = data_;
  const std::vector<Entry>& entries = data_->entries;
  std::vector<std::uint32_t>& order = sorted->order_;
  order.resize(entries.size());
  std::iota(order.begin(), order.end(), 0u);
  const std::string folderType = kFolderTypeText;
  std::array<std::string, 256> fileTypes;
  for (std::size_t code = 0; code < fileTypes.size(); ++code)
    fileTypes[code] = FileTypeText(static_cast<std::uint8_t>(code));
  const auto typeText = [&](const Entry& e) -> const std::string& {
    return e.folder ? folderType : fileTypes[e.typeCode];
  };
  // Whether a's value comes before b's, by the column alone.
  const auto before = [&](const Entry& a, const Entry& b) {
    switch (column) {
      case kNameColumn: return LessIgnoringCase(Name(a), Name(b));
      case kTypeColumn: return typeText(a) < typeText(b);
      case kSizeColumn: return a.size < b.size;
      case kDateColumn:
      case kTimeColumn: return a.modificationTime < b.modificationTime;
      default: return a.id < b.id;
    }
  };
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    const Entry& a = entries[x];
    const Entry& b = entries[y];
    if (a.folder != b.folder) return a.folder;
    return descending ? before(b, a) : before(a, b);
  });
  return sorted;
}

}  // namespace vantrel
