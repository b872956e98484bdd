#include "cli/ListingCommand.h"

#include <iostream>

#include "app/DirectoryListing.h"

namespace vantrel::cli {

int RunListingCommand(CliSession& session, const ListingOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const Catalogue& catalogue = session.Chosen()->catalogue;
  if (options.out.empty()) {
    WriteCatalogueListing(catalogue, "\n", std::cout, session.Names());
    return kSuccess;
  }
  const auto write = [&](std::ostream& out) { WriteCatalogueListing(catalogue, kTextSeparator, out, session.Names()); };
  if (!WriteListingStream(options.out, write)) {
    std::cerr << "vantrel-cli: cannot write " << options.out << '\n';
    return kUsageError;
  }
  return kSuccess;
}

}  // namespace vantrel::cli
