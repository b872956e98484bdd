#include "cli/SaveCommand.h"

#include <iomanip>
#include <iostream>

#include "recovery/SaveFolders.h"

namespace vantrel::cli {

namespace {

// The filters of the options; false after telling the user what is wrong with them.
bool FiltersOf(CliSession& session, const SaveOptions& options, SavingOptions& filters) {
  filters.deletedFilter = options.deleted == "exclude" ? DeletedFilter::Exclude
                         : options.deleted == "only"  ? DeletedFilter::Only
                                                      : DeletedFilter::Include;
  filters.safeNames = options.safeNames;
  filters.nameEncoding = session.Names().Encoding();
  filters.convertNames = options.convertNames;
  for (const auto& [list, remove] : {std::pair{&options.preserve, false}, std::pair{&options.noPreserve, true}})
    if (const auto unknown = ApplyPreserveList(filters.preserve, *list, remove)) {
      std::cerr << "vantrel-cli: --" << (remove ? "no-" : "") << "preserve does not know \"" << *unknown
                << "\" (mode, ownership, timestamps, links, xattr, special, all)\n";
      return false;
    }
  for (const std::string& extension : options.extensions) {
    const ExtensionAdded added = AddExtension(filters, extension);
    if (added.refusal != nullptr) session.Messages().Tell(added.refusal, MessageStyle::SystemError);
    if (!added.added) return false;
  }
  if (!options.before.empty()) {
    const auto before = ParseCalendarDate(options.before, kLastBeforeYear);
    if (!before) {
      std::cerr << "vantrel-cli: --before wants a date DD/MM/YYYY from 1970 to 2099\n";
      return false;
    }
    filters.modified.last = *before;
  }
  if (!options.after.empty()) {
    const auto after = ParseCalendarDate(options.after, kLastAfterYear);
    if (!after) {
      std::cerr << "vantrel-cli: --after wants a date DD/MM/YYYY from 1970 to 2030\n";
      return false;
    }
    filters.modified.first = *after;
  }
  return true;
}

void PrintSummary(const SavingRun& run, double seconds) {
  std::cout << "Saved " << run.filesWritten << " file(s) whole, " << run.bytesWritten << " bytes, in " << std::fixed
            << std::setprecision(2) << seconds << " s\n";
  if (run.filesKeptExisting > 0) std::cout << "Kept " << run.filesKeptExisting << " existing file(s)\n";
  if (run.filesFailed > 0) std::cout << "Could not write " << run.filesFailed << " file(s)\n";
  for (const auto& path : run.shortFiles) std::cout << "Cut short: " << path << '\n';
  for (std::size_t i = 0; i < run.damagedFiles.size(); ++i)
    std::cout << "Damaged (" << (i < run.damageReasons.size() ? run.damageReasons[i] : "unreadable blocks written as zeros")
              << "): " << run.damagedFiles[i] << '\n';
  if (!run.renamedEntries.empty())
    std::cout << "Saved under another name (the destination cannot hold the name, or it was taken): "
              << run.renamedEntries.size() << '\n';
  for (const auto& renamed : run.renamedEntries)
    std::cout << "Renamed: " << renamed.savedPath << " (named \"" << renamed.nameOnDisk << "\" on the disk)\n";
  if (const std::string notKept = NotKeptText(run.notKept); !notKept.empty()) std::cout << notKept << '\n';
}

}  // namespace

CLI::App* SaveCommand::AddTo(CLI::App& app) {
  auto* save = app.add_subcommand("save", "Build the catalogue and copy its folders and files to a destination");
  save->add_option("--out", options_.out, "Destination folder (made if missing)")->required();
  AddCatalogueOptions(*save, options_.catalogue);
  save->add_option("--deleted", options_.deleted, "Deleted files: include (default), exclude or only")
      ->check(CLI::IsMember({"include", "exclude", "only"}));
  save->add_option("--ext", options_.extensions, "Only files with these extensions (comma-separated)")
      ->delimiter(',');
  save->add_option("--after", options_.after, "Only files modified on or after DD/MM/YYYY");
  save->add_option("--before", options_.before, "Only files modified on or before DD/MM/YYYY");
  save->add_option("--replace", replace_, "Existing files: ask (default on a terminal), yes-to-all or no-to-all")
      ->check(CLI::IsMember({"ask", "yes-to-all", "no-to-all"}));
  save->add_flag("--safe-names", options_.safeNames,
                 "Write safe names (: * ? \" < > | \\ as _) on every destination, not only on FAT, exFAT and NTFS");
  save->add_flag("--convert-names", options_.convertNames,
                 "Write the names decoded from --name-encoding into UTF-8 instead of as the disk has them");
  save->add_option("--preserve", options_.preserve,
                   "Keep these too (comma-separated): mode (set-id and sticky bits), ownership, timestamps "
                   "(access times), links, xattr (with ACLs), special (device nodes, FIFOs, sockets), all. "
                   "By default links are kept, modes without set-id bits and modification times");
  save->add_option("--no-preserve", options_.noPreserve, "Do not keep these (the same words)");
  save->add_option("FOLDER", options_.folders,
                   "Folders to save, as paths from the root (default: the whole root and \"Lost\")");
  AddExample(save, "vantrel-cli --disk disk.img save --out recovered --deleted only home/user");
  return save;
}

void SaveCommand::PresetAnswersOf(PresetAnswers& answers) const {
  if (replace_ == "yes-to-all") answers.replace = ReplaceAnswer::YesToAll;
  if (replace_ == "no-to-all") answers.replace = ReplaceAnswer::NoToAll;
}

int SaveCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  const CatalogueOptions& chosen = options_.catalogue;
  SaveRequest request{.catalogue = CatalogueRequestOf(chosen, session.RecoveryLog(),
                                                      session.Journal(chosen.diskIndex, chosen.noJournal)),
                      .folders = options_.folders,
                      .destination = options_.out};
  if (!FiltersOf(session, options_, request.filters)) return kUsageError;
  SavingRun run;
  const SaveOutcome outcome = SaveFolders(session.Disk(options_.catalogue.diskIndex), request,
                                          {session.Watchers(), session.Progress()}, session.Prompts(), run);
  session.FinishProgress();
  if (outcome.result.outcome != StepOutcome::Done && outcome.result.outcome != StepOutcome::FilesFailed)
    return session.Report(outcome.result);
  PrintSummary(run, outcome.seconds);
  return session.Report(outcome.result);
}

}  // namespace vantrel::cli
