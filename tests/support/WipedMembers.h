#pragma once
// Copies of a fixture stack's member images with every md superblock zeroed, as after a NAS
// reset or a re-partitioning: the arrays are no longer found, only put together by hand or
// by the raid search.

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vantrel::test {

// The member images of fixture `name` copied into dir, each superblock's 4 KiB zeroed.
std::vector<std::string> WipedMembers(const TempDir& dir, const std::string& name);

}  // namespace vantrel::test
