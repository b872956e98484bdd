#include "disk/DiskEnumeration.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "disk/DiskProbe.h"
#include "disk/FileDiskSource.h"

namespace vantrel {

namespace {

namespace key = diskinfo;

void RecordGeometry(DiskInfoStore& store, const std::string& name, const DiskGeometry& geometry) {
  store.Write(key::kRootKey, name, "");
  store.Write(key::kCylinderKey, name, std::to_string(geometry.cylinders));
  store.Write(key::kHeadKey, name, std::to_string(geometry.heads));
  store.Write(key::kSectorsPerTrackKey, name, std::to_string(geometry.sectorsPerTrack));
  // The exact size, so that whole-disk scans reach the last sector.
  store.Write(key::kSizeKey, name, std::to_string(geometry.sizeBytes));
  store.Write(key::kModelKey, name, geometry.model);
  store.Write(key::kMediaTypeKey, name, geometry.mediaType);
}

std::unique_ptr<FileDiskSource> OpenSource(const NamedDisk& disk, std::string* problem) {
  std::optional<BadSectorMap> map;
  if (!disk.mapfile.empty()) {
    map = BadSectorMap::Load(disk.mapfile, problem);
    if (!map) return nullptr;
  }
  return std::make_unique<FileDiskSource>(disk.path, std::move(map));
}

}  // namespace

std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& given,
                                               const std::string& sysBlockRoot) {
  std::vector<EnumerationProblem> problems;
  std::vector<NamedDisk> disks = given;
  if (disks.empty())
    for (const auto& path : ListWholeDisks(sysBlockRoot)) disks.push_back({path, {}});

  const int stage = state.wizardStage;
  state.wizardStage = -1;
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeReset(TreeId::Disk, "My Computer");
  state.diskInfo.Clear();
  state.diskNames.Clear();

  for (const NamedDisk& named : disks) {
    std::string problem;
    auto source = OpenSource(named, &problem);
    if (!source) {
      problems.push_back({-1, problem});
      continue;
    }
    FileDiskSource* disk = source.get();
    const int n = state.diskNames.Add({named.path, named.mapfile, std::move(source)});
    if (n < 0) {
      problems.push_back({-1, named.path + ": only " + std::to_string(DiskNameTable::kMaxDisks) +
                                  " disks can be listed"});
      continue;
    }
    const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(n));
    if (const auto geometry = ProbeGeometry(*disk, sysBlockRoot)) {
      RecordGeometry(state.diskInfo, name, *geometry);
    } else {
      const std::string why = disk->OpenError();
      state.diskInfo.Write(key::kRootKey, name, "");
      state.diskInfo.Write(key::kErrorKey, name, why);
      problems.push_back({n, name + " " + why});
    }
    window.TreeInsert(TreeId::Disk, root, name, 1, 1);
  }
  window.TreeExpand(TreeId::Disk, root);
  state.wizardStage = stage;
  return problems;
}

void ShowDiskDetails(WizardState& state, int disk) {
  const std::string name = "Disk" + std::to_string(disk);
  const DiskInfoStore& store = state.diskInfo;
  WindowPort& window = state.Window();
  window.ListRemoveAllRows(control::kDetailsList);
  const auto row = [&](const std::string& text) { window.ListInsertRow(control::kDetailsList, text); };
  row("Physical Disk Number : " + std::to_string(disk));
  row("Model   : " + store.Read(key::kModelKey, name));
  row("Media Type   : " + store.Read(key::kMediaTypeKey, name));
  row("Cylinder   : " + store.Read(key::kCylinderKey, name));
  row("Head   : " + store.Read(key::kHeadKey, name));
  row("SectorsPerTrack   : " + store.Read(key::kSectorsPerTrackKey, name));
  row("Disk Size  : " + std::to_string(store.ReadNumber(key::kSizeKey, name) / 1048576) + " MB");
  if (const std::string error = store.Read(key::kErrorKey, name); !error.empty())
    row("Error   : " + error);
  state.selectedDiskModel = store.Read(key::kModelKey, name);
}

}  // namespace vantrel
