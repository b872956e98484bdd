#include "cli/MountCommand.h"

#include <sys/stat.h>

#include <iostream>

#include "disk/DiskEnumeration.h"
#include "disk/SectorReader.h"
#include "mount/FuseServer.h"
#include "mount/MountedVolume.h"

namespace vantrel::cli {

namespace {

// A mount serves reads from many threads, mostly with nobody at the terminal: a bad sector
// is never asked about, it is answered once for all by --bad-sectors (skip by default).
class StandingBadSectorAnswer : public BadSectorPrompt {
 public:
  explicit StandingBadSectorAnswer(std::optional<BadSectorAnswer> answer)
      : policy_(answer && (*answer == BadSectorAnswer::Retry || *answer == BadSectorAnswer::RetryAll)
                    ? BadSectorPolicy::RetryAll
                    : BadSectorPolicy::SkipAll) {}
  BadSectorPolicy AskBadSector() override { return policy_; }

 private:
  BadSectorPolicy policy_;
};

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

CLI::App* AddMountCommand(CLI::App& app, MountOptions& options) {
  auto* mount = app.add_subcommand("mount", "Build the catalogue and mount it read-only as a folder (FUSE)");
  mount->add_option("MOUNTPOINT", options.mountpoint, "Empty folder to mount on")->required();
  mount->add_option("--disk-index", options.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  mount->add_option("--partition", options.source.partition,
                    "Record of the partition-table search to mount (default 0)");
  mount->add_option("--start", options.source.start, "Mount the partition that starts at this sector instead");
  mount
      ->add_option("--file-search", options.fileSearch,
                   "quick (default: the live tree) or advanced (every block: deleted and reformatted-away entries too)")
      ->check(CLI::IsMember({"quick", "advanced"}));
  mount->add_flag("--strict", options.strict, "Reading a damaged range fails (EIO) instead of giving zeros");
  mount->add_flag("-f,--foreground", options.foreground, "Stay in the foreground; Ctrl-C unmounts");
  mount->footer(
      "Example:\n  vantrel-cli --disk disk.img mount --file-search advanced /mnt/old\n"
      "Unmount with: fusermount3 -u /mnt/old");
  return mount;
}

int RunMountCommand(CliSession& session, const GlobalOptions& global, const MountOptions& options) {
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  if (!session.RecoveryLog().empty()) {
    std::cerr << "vantrel-cli: mount builds its catalogue from the disk; --log is not taken\n";
    return kUsageError;
  }
  if (!IsFolder(options.mountpoint)) {
    std::cerr << "vantrel-cli: " << options.mountpoint << " is not a folder\n";
    return kUsageError;
  }
  DiskNameTable names;
  DiskInfoStore info;
  OpenDisks(names, info, global.disks);
  StandingBadSectorAnswer badSectors(global.answers.badSectors);
  SectorReader reader(names, &badSectors);
  const DiskReader disk(reader, static_cast<std::uint16_t>(options.diskIndex));

  auto partition = PickPartition(disk, options.source);
  if (!partition) return kNotFound;
  const bool advanced = options.fileSearch == "advanced";
  std::cerr << "Building the catalogue (" << options.fileSearch << " file search) of the partition at sector "
            << partition->startSector << "...\n";
  MountCatalogue built = BuildMountCatalogue(*partition, advanced);
  const std::size_t folders = built.catalogue.folderList.size();
  const std::size_t files = built.catalogue.fileList.size();
  mount::MountedVolume volume(*partition, std::move(built.catalogue), built.bodies, built.states, options.strict);

  const DiskEntry* entry = names.Entry(static_cast<std::size_t>(options.diskIndex));
  mount::ServeOptions serve;
  serve.mountpoint = options.mountpoint;
  serve.fsName = "vantrel:" + (entry != nullptr ? entry->path : DiskNameTable::DiskName(0));
  serve.foreground = options.foreground;
  serve.onMounted = [&] {
    std::cout << "Mounted " << folders << " folders and " << files << " files on " << options.mountpoint
              << " (read-only). Unmount with: fusermount3 -u " << options.mountpoint << std::endl;
  };
  const int result = mount::Serve(volume, serve);
  return result == 0 ? kSuccess : kDiskError;
}

}  // namespace vantrel::cli
