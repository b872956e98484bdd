#include "disk/DiskNameTable.h"

#include <charconv>

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

std::optional<std::size_t> DiskNameTable::DiskNumber(std::string_view label) {
  std::size_t value = 0;
  if (label.size() <= 4) return std::nullopt;
  const auto [end, error] = std::from_chars(label.data() + 4, label.data() + label.size(), value);
  if (error != std::errc{} || end == label.data() + 4) return std::nullopt;
  return value;
}

}  // namespace vantrel
