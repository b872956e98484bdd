#include "recovery/RaidChoice.h"

namespace vantrel {

std::size_t GivenDiskCount(const DiskNameTable& disks) {
  std::size_t n = 0;
  while (n < disks.Count() && disks.Entry(n)->readsFrom.empty()) ++n;
  return n;
}

RaidSearchResult SearchArraysOfGivenDisks(const DiskNameTable& disks, const StopToken& stop,
                                          RaidSearchProgress& progress) {
  return SearchRaidArrays(disks, GivenDiskCount(disks), stop, progress);
}

}  // namespace vantrel
