#include "cli/ListingCommand.h"

#include <iostream>

#include "app/DirectoryListing.h"

namespace vantrel::cli {

int RunListingCommand(CliSession& session, const ListingOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  WizardState& state = session.State();
  if (!ListingAvailable(state)) return kNotFound;
  if (options.out.empty()) {
    WriteListing(state.Window(), state.Window().TreeRoot(TreeId::Folder), "\n", std::cout);
    return kSuccess;
  }
  if (!WriteListingFile(state, options.out, kTextSeparator)) {
    std::cerr << "vantrel-cli: cannot write " << options.out << '\n';
    return kUsageError;
  }
  return kSuccess;
}

}  // namespace vantrel::cli
