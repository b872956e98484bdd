#pragma once
// A catalogue made ready to be served, however it was obtained: the root folder's own stat
// data kept in it, for a catalogue of every block (bodies from pieces) the live entries told
// apart by a quick build of the partition, and for one loaded from a recovery log (it has no
// build counters) the modes that a log does not keep (file kinds, permissions) taken from
// its object records or the partition's stat data.

#include <memory>

#include "base/StopToken.h"
#include "mount/MountedVolume.h"
#include "reiserfs/build/BuildStatus.h"

namespace vantrel::mount {

// strict: damaged ranges read as EIO instead of zeros; names: the names are served decoded
// by it (as the disk has them by default). The reading of the live tree reports to status
// and ends at stop; a stopped preparation gives nothing.
std::unique_ptr<MountedVolume> MakeServedVolume(const PartitionSource& partition, Catalogue catalogue,
                                                BodySource bodies, bool strict, const NameDecoder& names = {},
                                                const StopToken& stop = StopToken(), BuildStatusSink* status = nullptr);

}  // namespace vantrel::mount
