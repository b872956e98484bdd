#pragma once
// "partitions --search raid": the arrays the given disks may have made, best first, each
// with the --raid option that puts it together.

#include "cli/CliSession.h"

namespace vantrel::cli {

int RunRaidSearch(CliSession& session, bool json);

}  // namespace vantrel::cli
