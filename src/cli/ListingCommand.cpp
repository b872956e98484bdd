#include "cli/ListingCommand.h"

#include <iostream>
#include <sstream>

#include "app/DirectoryListing.h"

namespace vantrel::cli {

int RunListingCommand(CliSession& session, const ListingOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const Catalogue& catalogue = session.Chosen()->catalogue;
  if (options.out.empty()) {
    WriteCatalogueListing(catalogue, "\n", std::cout);
    return kSuccess;
  }
  std::ostringstream text;
  WriteCatalogueListing(catalogue, kTextSeparator, text);
  if (!WriteListingText(options.out, std::move(text).str())) {
    std::cerr << "vantrel-cli: cannot write " << options.out << '\n';
    return kUsageError;
  }
  return kSuccess;
}

}  // namespace vantrel::cli
