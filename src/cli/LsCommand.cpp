#include "cli/LsCommand.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "base/Base64.h"
#include "base/NameDecoder.h"
#include "recovery/FolderSelection.h"
#include "recovery/LinkTargets.h"
#include "reiserfs/catalogue/CatalogueRowCells.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel::cli {

namespace {

// A folder of the tree: the root (no entry) or a folder entry.
struct FolderRef {
  std::optional<std::size_t> entry;
  std::string path;  // "/" for the root, else "/" + the path from the root
};

const std::vector<std::size_t>& SubFolders(const FolderLayout& layout, const FolderRef& folder) {
  return folder.entry ? layout.children[*folder.entry] : layout.topLevel;
}

std::optional<FolderRef> FindFolder(const Catalogue& catalogue, const FolderLayout& layout, const std::string& path) {
  const auto folder = FolderAtPath(catalogue, layout, path);
  if (!folder) return std::nullopt;
  std::string shown;
  for (std::optional<std::size_t> at = *folder; at && *at != kTopLevel; at = layout.placedUnder[*at])
    shown.insert(0, "/" + std::string(catalogue.Name(catalogue.folderList[*at])));
  return FolderRef{*folder, shown.empty() ? "/" : shown};
}

// Display width of a UTF-8 text: its code points.
std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void PrintRows(const std::vector<std::array<std::string, 6>>& rows) {
  static const std::array<std::string, 6> kHeadings = {"Name", "Type", "Size", "Date", "Time", "ID"};
  std::array<std::size_t, 6> widths{};
  for (std::size_t c = 0; c < 6; ++c) widths[c] = Width(kHeadings[c]);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < 6; ++c) widths[c] = std::max(widths[c], Width(row[c]));
  widths[0] = std::min<std::size_t>(widths[0], 48);
  const auto print = [&](const std::array<std::string, 6>& row) {
    for (std::size_t c = 0; c < 6; ++c) {
      const std::size_t pad = widths[c] > Width(row[c]) ? widths[c] - Width(row[c]) : 0;
      if (c == kSizeColumn) std::cout << std::string(pad, ' ') << row[c];
      else std::cout << row[c] << (c + 1 < 6 ? std::string(pad, ' ') : "");
      std::cout << (c + 1 < 6 ? "  " : "\n");
    }
  };
  print(kHeadings);
  for (const auto& row : rows) print(row);
}

void PrintFolder(const Catalogue& catalogue, const FolderIndex& index, const FolderRef& folder,
                 const NameDecoder& names) {
  const std::uint32_t key = folder.entry ? catalogue.folderList[*folder.entry].objectId : kRootFolderId;
  const auto found = index.find(key);
  const FolderContents contents = found == index.end() ? FolderContents{} : found->second;
  std::vector<std::array<std::string, 6>> rows;
  // A folder row names its folder by object id here: the console has no folder tree.
  for (const std::size_t i : contents.folders)
    rows.push_back(FolderRowCells(catalogue, catalogue.folderList[i], catalogue.folderList[i].objectId));
  for (const std::size_t i : contents.files) rows.push_back(FileRowCells(catalogue, catalogue.fileList[i]));
  for (auto& row : rows) row[kNameColumn] = names.Decode(row[kNameColumn]);
  PrintRows(rows);
}

void PrintRecursively(const Catalogue& catalogue, const FolderLayout& layout, const FolderRef& top,
                      const NameDecoder& names) {
  const FolderIndex index = IndexFolders(catalogue, layout);
  std::vector<FolderRef> pending{top};
  bool first = true;
  while (!pending.empty()) {
    const FolderRef folder = pending.back();
    pending.pop_back();
    std::cout << (first ? "" : "\n") << names.Decode(folder.path) << ":\n";
    first = false;
    PrintFolder(catalogue, index, folder, names);
    const auto& children = SubFolders(layout, folder);
    for (auto i = children.rbegin(); i != children.rend(); ++i)
      pending.push_back({*i, (folder.entry ? folder.path + "/" : std::string(folder.path))
                                 .append(catalogue.Name(catalogue.folderList[*i]))});
  }
}

// A name or path, decoded for showing. JSON text holds only UTF-8: where the decoded text is
// not, what is not UTF-8 is shown as U+FFFD and the exact bytes on the disk go beside it as
// KEY_base64, so that no name is lost.
void AddName(nlohmann::json& object, const std::string& key, std::string_view onDisk, const NameDecoder& names) {
  std::string shown = names.Decode(onDisk);
  if (!IsUtf8(shown)) object[key + "_base64"] = Base64(onDisk);
  object[key] = std::move(shown);
}

// The mode's permission bits as octal text with four digits ("0755", "4750").
std::string OctalMode(std::uint32_t mode) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "%04o", mode & kModePermissionBits);
  return text.data();
}

// What the stat data says of an entry beyond its size and time: its kind, mode, a symbolic
// link's target, its owner, group, link count and device numbers. Only the kind where the
// stat data was not seen, and no owner where a recovery log left it out.
void AddStatData(nlohmann::json& object, const CatalogueEntry& entry, bool folder, LinkTargets& targets,
                 const NameDecoder& names) {
  // A folder entry is a folder whether or not its mode is known.
  const EntryKind kind = folder ? EntryKind::Folder : entry.Kind();
  object["kind"] = KindName(kind);
  if (entry.mode == kNotSeen) return;
  object["mode"] = OctalMode(entry.mode);
  if (kind == EntryKind::Symlink)
    if (const auto target = targets.Of(entry)) AddName(object, "target", *target, names);
  if (!entry.HasStatDetails()) return;
  const StatDetails& details = entry.details;
  object["uid"] = details.uid;
  object["gid"] = details.gid;
  object["nlink"] = details.linkCount;
  const bool device = IsDeviceKind(kind);
  object["rdev"] = {device ? DeviceMajor(details.rdev) : 0, device ? DeviceMinor(details.rdev) : 0};
}

nlohmann::json EntryJson(const Catalogue& catalogue, const CatalogueEntry& entry, bool folder, const std::string& path,
                         LinkTargets& targets, const NameDecoder& names) {
  nlohmann::json object = {{"objectId", entry.objectId}, {"parentId", entry.parentId}, {"size", entry.size},
                           {"mtime", entry.modificationTime}, {"typeCode", entry.typeCode}};
  if (entry.typeCode == kDeletedTypeCode) object["deleted"] = true;
  AddName(object, "name", catalogue.Name(entry), names);
  AddName(object, "path", path, names);
  AddStatData(object, entry, folder, targets, names);
  return object;
}

// Names are bytes as found on disk (decoded when asked); what is not UTF-8 is shown as U+FFFD.
std::string JsonText(const nlohmann::json& value, const std::string& indent) {
  std::string text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
  std::string indented;
  indented.reserve(text.size() + indent.size());
  indented += indent;
  for (const char c : text) {
    indented += c;
    if (c == '\n') indented += indent;
  }
  return indented;
}

// A JSON array written element by element at the given indent, laid out as dump(2) lays
// out a whole document.
template <typename Each>
void PrintArray(std::size_t count, const std::string& indent, Each element) {
  if (count == 0) {
    std::cout << "[]";
    return;
  }
  std::cout << "[\n";
  for (std::size_t i = 0; i < count; ++i)
    std::cout << JsonText(element(i), indent + "  ") << (i + 1 < count ? ",\n" : "\n");
  std::cout << indent << ']';
}

// The entries a JSON listing holds, by their places in the catalogue's lists.
struct ListedEntries {
  std::vector<std::uint32_t> files;
  std::vector<std::uint32_t> folders;
};

// Every entry shown: every folder but a "Lost" that holds nothing, as the tree shows them.
ListedEntries EveryShownEntry(const Catalogue& catalogue, const FolderLayout& layout) {
  ListedEntries listed;
  for (std::uint32_t i = 0; i < catalogue.fileList.size(); ++i)
    if (!IsHidden(catalogue.fileList[i], layout)) listed.files.push_back(i);
  for (std::uint32_t i = 0; i < catalogue.folderList.size(); ++i)
    if ((layout.placed[i] || !IsLostFolder(catalogue.folderList[i])) && !IsHiddenFolder(i, catalogue, layout))
      listed.folders.push_back(i);
  return listed;
}

// The rows of one folder, and with recursive those of every folder below it.
ListedEntries EntriesOfFolder(const Catalogue& catalogue, const FolderLayout& layout, const FolderRef& top,
                              bool recursive) {
  const FolderIndex index = IndexFolders(catalogue, layout);
  ListedEntries listed;
  std::vector<FolderRef> pending{top};
  while (!pending.empty()) {
    const FolderRef folder = pending.back();
    pending.pop_back();
    const std::uint32_t key = folder.entry ? catalogue.folderList[*folder.entry].objectId : kRootFolderId;
    if (const auto found = index.find(key); found != index.end()) {
      for (const std::size_t i : found->second.files) listed.files.push_back(static_cast<std::uint32_t>(i));
      for (const std::size_t i : found->second.folders) listed.folders.push_back(static_cast<std::uint32_t>(i));
    }
    if (!recursive) continue;
    const auto& children = SubFolders(layout, folder);
    for (auto i = children.rbegin(); i != children.rend(); ++i) pending.push_back({*i, {}});
  }
  return listed;
}

// The listed entries, streamed: only the folders' paths are held, each file's path is made
// as it is written, so that a catalogue of millions of files prints in little more memory
// than it takes itself.
void PrintJson(const ChosenCatalogue& chosen, const FolderLayout& layout, const ListedEntries& listed,
               const NameDecoder& names) {
  const Catalogue& catalogue = chosen.catalogue;
  const CataloguePathFinder paths(catalogue, layout);
  const auto& folderPaths = paths.FolderPaths();
  LinkTargets targets(chosen);
  FolderContents lost;
  if (layout.lostFolder) lost = ContentsOfFolder(catalogue, layout, kLostFolderId);
  std::cout << "{\n  \"files\": ";
  PrintArray(listed.files.size(), "  ", [&](std::size_t i) {
    const CatalogueEntry& file = catalogue.fileList[listed.files[i]];
    return EntryJson(catalogue, file, false, paths.FilePath(file), targets, names);
  });
  std::cout << ",\n  \"folders\": ";
  PrintArray(listed.folders.size(), "  ", [&](std::size_t i) {
    const std::uint32_t folder = listed.folders[i];
    return EntryJson(catalogue, catalogue.folderList[folder], true, folderPaths[folder], targets, names);
  });
  std::cout << ",\n  \"lost\": {\n    \"files\": ";
  PrintArray(lost.files.size(), "    ",
             [&](std::size_t i) { return nlohmann::json(names.Decode(paths.FilePath(catalogue.fileList[lost.files[i]]))); });
  std::cout << ",\n    \"folders\": ";
  PrintArray(lost.folders.size(), "    ",
             [&](std::size_t i) { return nlohmann::json(names.Decode(folderPaths[lost.folders[i]])); });
  std::cout << "\n  },\n  \"journal_transactions\": " << catalogue.journal.transactions << "\n}\n";
}

}  // namespace

CLI::App* LsCommand::AddTo(CLI::App& app) {
  auto* ls = app.add_subcommand("ls", "Build the catalogue of a ReiserFS partition and list a folder");
  AddCatalogueOptions(*ls, options_.catalogue);
  ls->add_flag("-R,--recursive", options_.recursive, "List the sub-folders too");
  ls->add_flag("--json", options_.json,
               "Print the catalogue as JSON, and nothing else: the whole of it, or the FOLDER given");
  ls->add_option("FOLDER", options_.folder,
                 "Folder to list, as a path from the root (\"Lost/...\" for the Lost folder)");
  AddExample(ls, "vantrel-cli --disk disk.img ls -R --file-search advanced home/user");
  return ls;
}

int LsCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  const LsOptions& options = options_;
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const Catalogue& catalogue = session.Chosen()->catalogue;
  const FolderLayout layout = LayOutFolders(catalogue);
  if (options.json && options.folder.empty()) {
    PrintJson(*session.Chosen(), layout, EveryShownEntry(catalogue, layout), session.Names());
    return kSuccess;
  }
  const auto folder = FindFolder(catalogue, layout, options.folder);
  if (!folder) {
    return session.Report({StepOutcome::NotFound, NoSuchFolderText(options.folder), {}});
  }
  if (options.json) {
    PrintJson(*session.Chosen(), layout, EntriesOfFolder(catalogue, layout, *folder, options.recursive),
              session.Names());
    return kSuccess;
  }
  std::cout << JournalStateText(catalogue.journal) << '\n';
  if (options.recursive)
    PrintRecursively(catalogue, layout, *folder, session.Names());
  else
    PrintFolder(catalogue, IndexFolders(catalogue, layout), *folder, session.Names());
  return kSuccess;
}

}  // namespace vantrel::cli
