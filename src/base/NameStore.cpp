#include "base/NameStore.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

NameStore::NameStore(const NameStore& other) { *this = other; }

NameStore& NameStore::operator=(const NameStore& other) {
  if (this == &other) return *this;
  blocks_.clear();
  for (std::size_t b = 0; b < other.blocks_.size(); ++b) {
    const std::size_t bytes = b + 1 == other.blocks_.size() ? other.used_ : kBlockBytes;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
    std::memcpy(blocks_.back().get(), other.blocks_[b].get(), bytes);
  }
  used_ = other.used_;
  return *this;
}

NameRef NameStore::Add(std::string_view name) {
  name = name.substr(0, kMaxNameBytes);
  if (name.empty()) return {};  // needs no bytes, and a store may have no block yet
  // A name never straddles two blocks; a store moved from has none.
  if (blocks_.empty() || used_ + name.size() > kBlockBytes) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
    used_ = 0;
  }
  const std::uint64_t at = (std::uint64_t{blocks_.size() - 1} << kBlockShift) + used_;
  std::copy(name.begin(), name.end(), blocks_.back().get() + used_);
  used_ += name.size();
  return {static_cast<std::uint32_t>(at), static_cast<std::uint16_t>(name.size()), static_cast<std::uint8_t>(at >> 32),
          0};
}

void NameStore::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  used_ = kBlockBytes;
}

}  // namespace vantrel
