// vantrel-cli: the engines of the recovery tool from the console.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <malloc.h>
#include <iostream>

#include "app/OutOfMemory.h"
#include "cli/CarveCommand.h"
#include "cli/CliSession.h"
#include "cli/DisksCommand.h"
#include "cli/ListingCommand.h"
#include "cli/LogCommand.h"
#include "cli/LogFileName.h"
#include "cli/LsCommand.h"
#include "cli/MountCommand.h"
#include "cli/PartitionsCommand.h"
#include "cli/SaveCommand.h"

namespace {

using namespace vantrel;
using namespace vantrel::cli;

// Pairs each --mapfile with the --disk given just before it.
bool CollectDisks(const CLI::App& app, const CLI::Option* diskOption, const CLI::Option* mapOption,
                  std::vector<NamedDisk>* disks) {
  std::size_t diskSeen = 0;
  std::size_t mapSeen = 0;
  const auto& diskValues = diskOption->results();
  const auto& mapValues = mapOption->results();
  for (const CLI::Option* option : app.parse_order()) {
    if (option == diskOption) {
      disks->push_back({diskValues.at(diskSeen++), {}});
    } else if (option == mapOption) {
      if (disks->empty() || !disks->back().mapfile.empty()) {
        std::cerr << "vantrel-cli: --mapfile must follow the --disk it belongs to\n";
        return false;
      }
      disks->back().mapfile = mapValues.at(mapSeen++);
    }
  }
  return true;
}

// An example for a command's --help.
void AddExample(CLI::App* command, const std::string& example) { command->footer("Example:\n  " + example); }

// Help and --version go to standard output; any other fault is one line on standard error.
int ReportParseError(const CLI::App& app, const CLI::ParseError& error) {
  if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
    app.exit(error);
    return kSuccess;
  }
  std::string text = error.what();
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::cerr << "vantrel-cli: " << text << " (see vantrel-cli --help)\n";
  return kUsageError;
}

}  // namespace

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "unknown"
#endif

namespace {

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"Vantrel For ReiserFS: find ReiserFS partitions and recover their files, read-only",
               "vantrel-cli"};
  app.require_subcommand(1);
  // Global options may also follow the command: its subcommands pass what they do not know up.
  app.fallthrough();
  app.set_version_flag("--version", "vantrel-cli " VANTREL_VERSION);
  AddExample(&app, "vantrel-cli --disk disk.img partitions --search advanced");
  std::vector<std::string> diskPaths;
  std::vector<std::string> mapfiles;
  std::string badSectors;
  auto* diskOption = app.add_option("--disk", diskPaths,
                                    "Disk image or block device to read (repeatable: Disk0, Disk1, ...); "
                                    "without it, the machine's disks")
                         ->check(CLI::ExistingPath);
  auto* mapOption = app.add_option("--mapfile", mapfiles,
                                   "GNU ddrescue mapfile of the --disk before it: areas not finished read as bad sectors")
                        ->check(CLI::ExistingFile);
  app.add_option("--bad-sectors", badSectors, "Answer to \"Bad Sector Encountered\" given in advance")
      ->check(CLI::IsMember({"retry", "skip", "retry-all", "skip-all"}));
  std::string recoveryLog;
  app.add_option("--log", recoveryLog,
                 "Take the catalogue from this recovery log instead of searching the disk (it must have been "
                 "made on a disk of the same model); FILE as given to \"log save\" finds FILE.SAV too")
      ->transform(CLI::Validator(
          [](std::string& file) {
            file = ExistingConsoleRecoveryLog(file);
            return CLI::ExistingFile(file);
          },
          "FILE"));
  std::string nameEncoding;
  app.add_option("--name-encoding", nameEncoding,
                 "Character set of the disk's names, for showing them (any name iconv knows, e.g. ISO-8859-1, "
                 "CP1251, EUC-JP; default UTF-8, with bytes that are not UTF-8 shown as they are)");

  bool disksJson = false;
  auto* disks = app.add_subcommand("disks", "List the disks and their details");
  disks->add_flag("--json", disksJson, "Print JSON");
  AddExample(disks, "vantrel-cli disks --json");

  PartitionsOptions partitionOptions;
  auto* partitions = app.add_subcommand("partitions", "Search a disk for ReiserFS partitions");
  partitions->add_option("--disk-index", partitionOptions.diskIndex, "Disk to search (default 0)")
      ->check(CLI::Range(0, 25));
  partitions->add_option("--search", partitionOptions.search, "quick (partition tables), advanced (every sector) "
                                                              "or more (cylinder boundaries)")
      ->check(CLI::IsMember({"quick", "advanced", "more"}));
  partitions->add_flag("--json", partitionOptions.json, "Print JSON only");
  AddExample(partitions, "vantrel-cli --disk /dev/sdb partitions --search advanced");

  LsOptions lsOptions;
  auto* ls = app.add_subcommand("ls", "Build the catalogue of a ReiserFS partition and list a folder");
  AddCatalogueOptions(*ls, lsOptions.catalogue);
  ls->add_flag("-R,--recursive", lsOptions.recursive, "List the sub-folders too");
  ls->add_flag("--json", lsOptions.json, "Print the whole catalogue as JSON, and nothing else");
  ls->add_option("FOLDER", lsOptions.folder, "Folder to list, as a path from the root (\"Lost/...\" for the Lost folder)");
  AddExample(ls, "vantrel-cli --disk disk.img ls -R --file-search advanced home/user");
  CarveOptions carveOptions;
  auto* carve = app.add_subcommand("carve", "Raw recovery: carve Word, Excel, PowerPoint and ZIP files by signature");
  carve->add_option("--out", carveOptions.out, "Folder for the carved files (made if missing, one level)")->required();
  carve->add_option("--disk-index", carveOptions.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  carve->add_option("--start", carveOptions.start, "First sector of the range (default 0)");
  carve->add_option("--end", carveOptions.end, "Sector after the range (default: the disk's size in sectors)");
  carve->add_option("--types", carveOptions.types, "Kinds to keep, comma-separated (default: all)")
      ->delimiter(',')
      ->check(CLI::IsMember(CarveKindNames()));
  carve->add_flag("--exact-sizes", carveOptions.exactSizes,
                  "Carve whole files, each sized by its own structures; finds docx, xlsx, pptx, odt, ods, odp, "
                  "epub, pdf, rtf and other compound files (ole) too");
  carve->add_option("--max-text-mib", carveOptions.textDocumentCapMib,
                    "With --exact-sizes: how far a PDF or RTF file, or a ZIP entry whose sizes follow its data, "
                    "is searched for its end, in MiB (default 256)")
      ->check(CLI::Range(1, 1 << 20));
  AddExample(carve, "vantrel-cli --disk disk.img carve --out carved --types doc,zip --exact-sizes");

  SaveOptions saveOptions;
  std::string replace;
  auto* save = app.add_subcommand("save", "Build the catalogue and copy its folders and files to a destination");
  save->add_option("--out", saveOptions.out, "Destination folder (made if missing)")->required();
  AddCatalogueOptions(*save, saveOptions.catalogue);
  save->add_option("--deleted", saveOptions.deleted, "Deleted files: include (default), exclude or only")
      ->check(CLI::IsMember({"include", "exclude", "only"}));
  save->add_option("--ext", saveOptions.extensions, "Only files with these extensions (comma-separated)")
      ->delimiter(',');
  save->add_option("--after", saveOptions.after, "Only files modified on or after DD/MM/YYYY");
  save->add_option("--before", saveOptions.before, "Only files modified on or before DD/MM/YYYY");
  save->add_option("--replace", replace, "Existing files: ask (default on a terminal), yes-to-all or no-to-all")
      ->check(CLI::IsMember({"ask", "yes-to-all", "no-to-all"}));
  save->add_flag("--safe-names", saveOptions.safeNames,
                 "Write safe names (: * ? \" < > | \\ as _) on every destination, not only on FAT, exFAT and NTFS");
  save->add_flag("--convert-names", saveOptions.convertNames,
                 "Write the names decoded from --name-encoding into UTF-8 instead of as the disk has them");
  save->add_option("FOLDER", saveOptions.folders,
                   "Folders to save, as paths from the root (default: the whole root and \"Lost\")");
  AddExample(save, "vantrel-cli --disk disk.img save --out recovered --deleted only home/user");

  LogSaveOptions logSaveOptions;
  auto* log = app.add_subcommand("log", "Recovery logs");
  log->require_subcommand(1);
  AddExample(log, "vantrel-cli --disk disk.img log save case1");
  auto* logSave = log->add_subcommand("save", "Build the catalogue (options of ls) and keep it in a recovery log");
  AddCatalogueOptions(*logSave, logSaveOptions.catalogue);
  logSave->add_option("FILE", logSaveOptions.file, "The log, saved as named (\".SAV\" appended when it has no extension)")
      ->required();
  AddExample(logSave, "vantrel-cli --disk disk.img log save case1 --file-search advanced   (then: --log case1 ls)");

  ListingOptions listingOptions;
  auto* listing = app.add_subcommand("listing", "Print or write the list of the catalogue's folders");
  AddCatalogueOptions(*listing, listingOptions.catalogue);
  listing->add_option("--out", listingOptions.out, "Write the listing to this file (lines ended by CR LF)");
  AddExample(listing, "vantrel-cli --disk disk.img listing --out folders.txt");

  MountOptions mountOptions;
  auto* mount = AddMountCommand(app, mountOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ReportParseError(app, error);
  }

  GlobalOptions options;
  if (!CollectDisks(app, diskOption, mapOption, &options.disks)) return kUsageError;
  if (!badSectors.empty()) options.answers.badSectors = ParseBadSectorAnswer(badSectors);
  options.recoveryLog = recoveryLog;
  const auto names = NameDecoder::For(nameEncoding);
  if (!names) {
    std::cerr << "vantrel-cli: --name-encoding: iconv does not know the character set " << nameEncoding << '\n';
    return kUsageError;
  }
  options.names = *names;
  options.json = (disks->parsed() && disksJson) || (partitions->parsed() && partitionOptions.json) ||
                 (ls->parsed() && lsOptions.json);

  if (replace == "yes-to-all") options.answers.replace = ReplaceAnswer::YesToAll;
  if (replace == "no-to-all") options.answers.replace = ReplaceAnswer::NoToAll;

  CliSession session(options);
  for (const auto& problem : session.Problems())
    if (problem.disk < 0) {
      std::cerr << "vantrel-cli: " << problem.text << '\n';
      return kDiskError;
    }
  if (disks->parsed()) return RunDisksCommand(session, disksJson);
  if (ls->parsed()) return RunLsCommand(session, lsOptions);
  if (carve->parsed()) return RunCarveCommand(session, carveOptions);
  if (save->parsed()) return RunSaveCommand(session, saveOptions);
  if (logSave->parsed()) return RunLogSaveCommand(session, logSaveOptions);
  if (listing->parsed()) return RunListingCommand(session, listingOptions);
  if (mount->parsed()) return RunMountCommand(session, options, mountOptions);
  return RunPartitionsCommand(session, partitionOptions);
}

}  // namespace

int main(int argc, char** argv) {
  // A run builds its lists by growing them. Blocks up to 4 MiB come from the heap and stay
  // there when freed, instead of being mapped afresh (and every page faulted in again) at
  // each growth: the quick catalogue of 20,000 files is listed a sixth sooner.
  // Set before any thread starts.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);  // NOLINT(concurrency-mt-unsafe)
  mallopt(M_TRIM_THRESHOLD, 8 << 20);  // NOLINT(concurrency-mt-unsafe)
  int status = kSuccess;
  if (RunUnlessOutOfMemory([&] { status = RunCommandLine(argc, argv); })) return status;
  // The run's stack is unwound: a file it was writing has been removed.
  std::cerr << "vantrel-cli: " << vantrel::kOutOfMemory << '\n';
  return kOutOfMemoryStatus;
}
