#pragma once
#include "cli/CliSession.h"

namespace vantrel::cli {

// Lists the disks with their details rows; exits non-zero when one cannot be read.
int RunDisksCommand(CliSession& session, bool json);

}  // namespace vantrel::cli
