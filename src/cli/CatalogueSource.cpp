#include "cli/CatalogueSource.h"

namespace vantrel::cli {

void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options) {
  command.add_option("--disk-index", options.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  command.add_option("--partition", options.partition, "Record of the partition search to catalogue (default 0)");
  command.add_option("--search", options.search, "Partition search: quick (default), advanced or more")
      ->check(CLI::IsMember({"quick", "advanced", "more"}));
  command.add_option("--start", options.start, "Catalogue the partition that starts at this sector instead");
  command
      .add_option("--file-search", options.fileSearch,
                  "quick (default: the live tree) or advanced (every block, finds removed entries too)")
      ->check(CLI::IsMember({"quick", "advanced"}));
  command.add_flag("--no-journal", options.noJournal,
                   "Show the blocks as they lie on the disk: the journal's last committed changes are not replayed");
  command.add_option("--block-size", options.blockSize, "Block size of a volume whose superblock is lost")
      ->check(CLI::IsMember({512, 1024, 2048, 4096, 8192}));
  command.add_option("--blocks", options.blockCount, "Block count of a volume whose superblock is lost")
      ->check(CLI::Range(1u, UINT32_MAX));
  command.add_option("--format", options.format, "Format of a volume whose superblock is lost: 3.5 or 3.6")
      ->check(CLI::IsMember({"3.5", "3.6"}));
}

PartitionSearchKind SearchKindOf(const std::string& search) {
  if (search == "advanced") return PartitionSearchKind::Advanced;
  if (search == "more") return PartitionSearchKind::More;
  return PartitionSearchKind::Quick;
}

CatalogueRequest CatalogueRequestOf(const CatalogueOptions& options, const std::string& recoveryLog,
                                    const JournalOptions& journal) {
  return {.partition = {SearchKindOf(options.search), options.partition, options.start},
          .build = options.fileSearch == "advanced" ? FileSearchKind::Advanced : FileSearchKind::Quick,
          .recoveryLog = recoveryLog,
          .journal = journal,
          .geometry = {.blockSize = options.blockSize,
                       .blockCount = options.blockCount,
                       .format36 = options.format.empty() ? std::nullopt : std::optional<bool>(options.format == "3.6")}};
}

int ObtainCatalogue(CliSession& session, const CatalogueOptions& options) {
  auto obtained = vantrel::ObtainCatalogue(session.Disk(options.diskIndex),
                                           CatalogueRequestOf(options, session.RecoveryLog(),
                                                              session.Journal(options.diskIndex, options.noJournal)),
                                           session.Watchers());
  session.FinishProgress();
  if (!obtained) return session.Report(StepResultOf(obtained.Failure()));
  session.Chosen() = std::move(*obtained);
  return session.Report({});
}

}  // namespace vantrel::cli
