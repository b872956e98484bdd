#pragma once
// A VHDX file as its log's replay would leave it, for libvhdi to read through a libbfio
// handle: the file's bytes with the replayed writes laid over them, in memory only, and the
// file as long as the replay makes it. The file itself is opened read-only and never written.

#include <cstdint>
#include <string>

#include "disk/containers/VhdxLogSequence.h"

namespace vantrel {

// A libbfio handle (libbfio_handle_t*) over the file at `path` with `replay` laid over it;
// the handle owns what it reads and is freed with libbfio_handle_free. Nullptr on failure.
std::intptr_t* OpenReplayedVhdx(const std::string& path, const VhdxLogReplay& logged);

}  // namespace vantrel
