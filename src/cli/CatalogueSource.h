#pragma once
// How the commands that work on a catalogue get it: the disk, the partition (a record of a
// partition search, or the partition at a given sector) and the build, or a recovery log.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/CliSession.h"
#include "recovery/CatalogueChoice.h"

namespace vantrel::cli {

struct CatalogueOptions {
  int diskIndex = 0;
  std::uint32_t partition = 0;             // record of the partition search
  std::string search = "quick";            // partition search: quick, advanced or more
  std::optional<std::uint64_t> start;      // the partition at this sector instead of a search
  std::string fileSearch = "quick";        // catalogue build: quick or advanced
  bool noJournal = false;                  // the blocks as they lie, the journal not replayed
  std::optional<std::uint32_t> blockSize;  // geometry given by hand
  std::optional<std::uint32_t> blockCount;
  std::string format;  // "3.5", "3.6" or empty
};

// Registers --disk-index, --partition, --search, --start, --file-search, --no-journal and
// the geometry given by hand (--block-size, --blocks, --format) on a command.
void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options);

// The search named by --search.
PartitionSearchKind SearchKindOf(const std::string& search);

// What the options ask the engines for; with a recovery log given (--log), the catalogue
// comes from it. journal: how the session reads the chosen disk's journal.
CatalogueRequest CatalogueRequestOf(const CatalogueOptions& options, const std::string& recoveryLog,
                                    const JournalOptions& journal);

// Obtains the catalogue of the options into the session's state. Returns kSuccess, or the
// exit code after telling the user what is wrong.
int ObtainCatalogue(CliSession& session, const CatalogueOptions& options);

}  // namespace vantrel::cli
