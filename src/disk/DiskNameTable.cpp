#include "disk/DiskNameTable.h"

namespace vantrel {

int DiskNameTable::Add(DiskEntry entry) {
  if (entries_.size() >= kMaxDisks) return -1;
  entries_.push_back(std::move(entry));
  return static_cast<int>(entries_.size() - 1);
}

DiskSource* DiskNameTable::Source(std::size_t n) const {
  return n < entries_.size() ? entries_[n].source.get() : nullptr;
}

const DiskEntry* DiskNameTable::Entry(std::size_t n) const {
  return n < entries_.size() ? &entries_[n] : nullptr;
}

}  // namespace vantrel
