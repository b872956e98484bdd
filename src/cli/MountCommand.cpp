#include "cli/MountCommand.h"

#include <sys/stat.h>

#include <iostream>

#include "cli/CatalogueSource.h"
#include "cli/JournalDisks.h"
#include "disk/DiskEnumeration.h"
#include "disk/SectorReader.h"
#include "mount/FuseServer.h"
#include "mount/ServedVolume.h"
#include "recovery/DiskStacks.h"

namespace vantrel::cli {

namespace {

// A mount serves reads from many threads, mostly with nobody at the terminal: a bad sector
// is never asked about, it is answered once for all by --bad-sectors (skip by default).
class StandingBadSectorAnswer : public BadSectorPrompt {
 public:
  explicit StandingBadSectorAnswer(std::optional<BadSectorPolicy> answer)
      : policy_(answer && (*answer == BadSectorPolicy::Retry || *answer == BadSectorPolicy::RetryAll)
                    ? BadSectorPolicy::RetryAll
                    : BadSectorPolicy::SkipAll) {}
  BadSectorPolicy AskBadSector(const BadSectorQuestion&) override { return policy_; }

 private:
  BadSectorPolicy policy_;
};

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The catalogue of the recovery log given with --log, read on the mount's own disk reader;
// nothing after the loading has said why not.
std::optional<std::pair<PartitionSource, MountCatalogue>> LoggedCatalogue(CliSession& session, const DiskReader& disk,
                                                                          int diskIndex) {
  CatalogueOptions options;
  options.diskIndex = diskIndex;
  if (ObtainCatalogue(session, options) != kSuccess) return std::nullopt;
  ChosenCatalogue& chosen = *session.Chosen();
  const PartitionSource partition{disk, chosen.partition.startSector, chosen.partition.superblock, {}};
  return std::pair{partition, MountCatalogue{std::move(chosen.catalogue), chosen.source}};
}

// The journal's copies of a catalogue loaded on the session's readers are read through the
// mount's own, as every other block: from the volume's disk, or from the journal's device.
void ReadCopiesThrough(const DiskReader& disk, const std::optional<DiskReader>& journalDisk, JournalState& journal) {
  if (!journal.copies) return;
  const bool apart = journal.copies->apart;
  if (apart && !journalDisk) {
    journal.copies.reset();
    return;
  }
  auto copies = std::make_shared<LoggedCopies>(*journal.copies);
  copies->disk = apart ? *journalDisk : disk;
  journal.copies = std::move(copies);
}

}  // namespace

CLI::App* MountCommand::AddTo(CLI::App& app) {
  MountOptions& options = options_;
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
  mount->add_flag("--no-journal", options.source.noJournal,
                  "Serve the blocks as they lie on the disk: the journal's last committed changes are not replayed");
  mount->add_flag("--strict", options.strict, "Reading a damaged range fails (EIO) instead of giving zeros");
  mount->add_flag("-f,--foreground", options.foreground, "Stay in the foreground; Ctrl-C unmounts");
  mount->add_flag("--convert-names", options.convertNames,
                  "Serve the names decoded from --name-encoding into UTF-8 instead of as the disk has them");
  mount->footer(
      "With --log FILE, the catalogue kept in that recovery log is served (contents still read from the disk).\n"
      "Example:\n  vantrel-cli --disk disk.img mount --file-search advanced /mnt/old\n"
      "Unmount with: fusermount3 -u /mnt/old");
  return mount;
}

int MountCommand::Run(CliSession& session, const GlobalOptions& global) {
  const MountOptions& options = options_;
  if (const DiskChoice chosen = session.Disk(options.diskIndex); !chosen.problem.empty())
    return session.Report({StepOutcome::DiskUnreadable, chosen.problem, {}});
  if (!IsFolder(options.mountpoint)) {
    std::cerr << "vantrel-cli: " << options.mountpoint << " is not a folder\n";
    return kUsageError;
  }
  DiskNameTable names;
  DiskInfoStore info;
  OpenDisksAndStacks(names, info, global.disks, "/sys/block", global.arraysByHand);
  StandingBadSectorAnswer badSectors(global.answers.badSectors);
  SectorReader reader(names, &badSectors);
  const DiskReader disk(reader, static_cast<std::uint16_t>(options.diskIndex));
  JournalDisks journals(global.journalDisks, &badSectors);
  const std::optional<DiskReader> journalDisk = journals.Of(options.diskIndex);

  std::optional<PartitionSource> partition;
  MountCatalogue built;
  if (!session.RecoveryLog().empty()) {
    auto logged = LoggedCatalogue(session, disk, options.diskIndex);
    if (!logged) return kLogRefused;
    partition = logged->first;
    built = std::move(logged->second);
    ReadCopiesThrough(disk, journalDisk, built.catalogue.journal);
  } else {
    MountSourceOptions source = options.source;
    source.advanced = options.fileSearch == "advanced";
    partition = PickPartition(disk, source, session.Disk(options.diskIndex).sectors);
    if (!partition) return kNotFound;
    partition->journal.journalDisk = journalDisk;
    std::cerr << "Building the catalogue (" << options.fileSearch << " file search) of the partition at sector "
              << partition->startSector << "...\n";
    built = BuildMountCatalogue(*partition, options.fileSearch == "advanced");
  }
  const std::size_t folders = built.catalogue.folderList.size();
  const std::size_t files = built.catalogue.fileList.size();
  const auto volume = mount::MakeServedVolume(*partition, std::move(built.catalogue), built.bodies, options.strict,
                                              options.convertNames ? session.Names() : NameDecoder{});

  const DiskEntry* entry = names.Entry(static_cast<std::size_t>(options.diskIndex));
  mount::ServeOptions serve;
  serve.mountpoint = options.mountpoint;
  serve.fsName = "vantrel:" + (entry != nullptr ? entry->path : DiskNameTable::DiskName(0));
  serve.foreground = options.foreground;
  serve.onMounted = [&] {
    std::cout << "Mounted " << folders << " folders and " << files << " files on " << options.mountpoint
              << " (read-only). Unmount with: fusermount3 -u " << options.mountpoint << std::endl;
  };
  const int result = mount::Serve(*volume, serve);
  return result == 0 ? kSuccess : kDiskError;
}

}  // namespace vantrel::cli
