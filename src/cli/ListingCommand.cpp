#include "cli/ListingCommand.h"

#include <iostream>

#include "logs/ListingFile.h"
#include "logs/ListingLines.h"

namespace vantrel::cli {

CLI::App* ListingCommand::AddTo(CLI::App& app) {
  auto* listing = app.add_subcommand("listing", "Print or write the list of the catalogue's folders");
  AddCatalogueOptions(*listing, options_.catalogue);
  listing->add_option("--out", options_.out, "Write the listing to this file (lines ended by CR LF)");
  AddExample(listing, "vantrel-cli --disk disk.img listing --out folders.txt");
  return listing;
}

int ListingCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  if (const int failed = ObtainCatalogue(session, options_.catalogue); failed != kSuccess) return failed;
  const Catalogue& catalogue = session.Chosen()->catalogue;
  if (options_.out.empty()) {
    WriteCatalogueListing(catalogue, "\n", std::cout, session.Names());
    return kSuccess;
  }
  const auto write = [&](std::ostream& out) { WriteCatalogueListing(catalogue, kTextSeparator, out, session.Names()); };
  if (!WriteListingStream(options_.out, write)) {
    std::cerr << "vantrel-cli: cannot write " << options_.out << '\n';
    return kUsageError;
  }
  return kSuccess;
}

}  // namespace vantrel::cli
