// vantrel-cli: the engines of the recovery tool from the console.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <malloc.h>
#include <iostream>
#include <memory>
#include <vector>

#include "base/OutOfMemory.h"
#include "cli/CarveCommand.h"
#include "cli/CliSession.h"
#include "cli/ConsoleCommand.h"
#include "cli/DisksCommand.h"
#include "cli/ImageCommand.h"
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

struct DiskOptions {
  const CLI::Option* disk;
  const CLI::Option* mapfile;
  const CLI::Option* journalDisk;
};

// Pairs each --mapfile and each --journal-disk with the --disk given just before it.
bool CollectDisks(const CLI::App& app, const DiskOptions& given, GlobalOptions& options) {
  std::size_t diskSeen = 0;
  std::size_t mapSeen = 0;
  std::size_t journalSeen = 0;
  std::vector<NamedDisk>& disks = options.disks;
  std::vector<std::string>& journals = options.journalDisks;
  const auto follows = [&](const char* name, bool taken) {
    if (disks.empty() || taken) std::cerr << "vantrel-cli: " << name << " must follow the --disk it belongs to\n";
    return !disks.empty() && !taken;
  };
  for (const CLI::Option* option : app.parse_order()) {
    if (option == given.disk) {
      disks.push_back({given.disk->results().at(diskSeen++), {}});
      journals.emplace_back();
    } else if (option == given.mapfile) {
      if (!follows("--mapfile", !disks.empty() && !disks.back().mapfile.empty())) return false;
      disks.back().mapfile = given.mapfile->results().at(mapSeen++);
    } else if (option == given.journalDisk) {
      if (!follows("--journal-disk", !journals.empty() && !journals.back().empty())) return false;
      journals.back() = given.journalDisk->results().at(journalSeen++);
    }
  }
  return true;
}

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

// Every command, in the order --help lists them; the first is the one given.
std::vector<std::unique_ptr<ConsoleCommand>> Commands() {
  std::vector<std::unique_ptr<ConsoleCommand>> commands;
  commands.push_back(std::make_unique<DisksCommand>());
  commands.push_back(std::make_unique<PartitionsCommand>());
  commands.push_back(std::make_unique<LsCommand>());
  commands.push_back(std::make_unique<CarveCommand>());
  commands.push_back(std::make_unique<SaveCommand>());
  commands.push_back(std::make_unique<LogSaveCommand>());
  commands.push_back(std::make_unique<ListingCommand>());
  commands.push_back(std::make_unique<MountCommand>());
  commands.push_back(std::make_unique<ImageCommand>());
  return commands;
}

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"Vantrel For ReiserFS: find ReiserFS partitions and recover their files, read-only", "vantrel-cli"};
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
  auto* mapOption =
      app.add_option("--mapfile", mapfiles,
                     "GNU ddrescue mapfile of the --disk before it: areas not finished read as bad sectors")
          ->check(CLI::ExistingFile);
  std::vector<std::string> journalDisks;
  auto* journalOption =
      app.add_option("--journal-disk", journalDisks,
                     "Device (or image) of the journal of the --disk before it, where its file system keeps the "
                     "journal apart; its committed transactions are then replayed in memory too")
          ->check(CLI::ExistingPath);
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
  std::vector<std::string> arraysByHand;
  app.add_option(
         "--raid", arraysByHand,
         "Put an md array together by hand (repeatable; listed after the disks): "
         "LEVEL:CHUNK:MEMBERS[:LAYOUT][:OFFSET], "
         "e.g. 5:64K:0p1,1p1,missing,3p1:left-symmetric:2048. LEVEL 0, 1, 4, 5, 6 or 10; CHUNK in KiB unless "
         "it ends in K or M (0 for RAID1); MEMBERS the disk indices in role order (2p1: partition 1 of disk 2; "
         "missing: an absent member); LAYOUT ls, la, rs, ra, pf, pl (RAID5/6, default ls) or n2, f2, o2 (RAID10, "
         "default n2); OFFSET where each member's data starts, in sectors unless it ends in K or M (default 0). "
         "\"partitions --search raid\" finds these values")
      ->check(CLI::Validator([](std::string& text) { return ParseManualArray(text).error; },
                             "LEVEL:CHUNK:MEMBERS[:LAYOUT][:OFFSET]"));
  std::string nameEncoding;
  app.add_option("--name-encoding", nameEncoding,
                 "Character set of the disk's names, for showing them (any name iconv knows, e.g. ISO-8859-1, "
                 "CP1251, EUC-JP; default UTF-8, with bytes that are not UTF-8 shown as they are)");

  const auto commands = Commands();
  std::vector<CLI::App*> given;
  for (const auto& command : commands) given.push_back(command->AddTo(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ReportParseError(app, error);
  }
  // A command is required: the parse has failed without one.
  std::size_t chosen = 0;
  while (chosen + 1 < commands.size() && !given[chosen]->parsed()) ++chosen;
  ConsoleCommand& command = *commands[chosen];

  GlobalOptions options;
  if (!CollectDisks(app, {diskOption, mapOption, journalOption}, options)) return kUsageError;
  if (!badSectors.empty()) options.answers.badSectors = ParseBadSectorPolicy(badSectors);
  options.recoveryLog = recoveryLog;
  const auto names = NameDecoder::For(nameEncoding);
  if (!names) {
    std::cerr << "vantrel-cli: --name-encoding: iconv does not know the character set " << nameEncoding << '\n';
    return kUsageError;
  }
  options.names = *names;
  for (const std::string& text : arraysByHand) options.arraysByHand.push_back(*ParseManualArray(text).parameters);
  options.json = command.PrintsJson();
  command.PresetAnswersOf(options.answers);

  CliSession session(options);
  for (const auto& problem : session.Problems())
    if (problem.disk < 0) {
      std::cerr << "vantrel-cli: " << problem.text << '\n';
      return kDiskError;
    }
  for (const std::string& problem : session.JournalDevices().Problems()) {
    std::cerr << "vantrel-cli: --journal-disk " << problem << '\n';
    return kDiskError;
  }
  for (const std::string& problem : session.ByHandProblems()) {
    std::cerr << "vantrel-cli: " << problem << '\n';
    return kUsageError;
  }
  return command.Run(session, options);
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
