#include "disk/DiskInfoStore.h"

#include <charconv>

namespace vantrel {

std::string DiskInfoStore::Normalised(const std::string& key) {
  std::string upper = key;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

void DiskInfoStore::Write(const std::string& key, const std::string& valueName, const std::string& text) {
  std::lock_guard lock(mutex_);
  keys_[Normalised(key)][valueName] = text;
}

std::string DiskInfoStore::Read(const std::string& key, const std::string& valueName) const {
  std::lock_guard lock(mutex_);
  const auto found = keys_.find(Normalised(key));
  if (found == keys_.end()) return {};
  const auto value = found->second.find(valueName);
  return value == found->second.end() ? std::string{} : value->second;
}

std::uint64_t DiskInfoStore::ReadNumber(const std::string& key, const std::string& valueName) const {
  const std::string text = Read(key, valueName);
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc{} ? number : 0;
}

void DiskInfoStore::DeleteKey(const std::string& key) {
  std::lock_guard lock(mutex_);
  keys_.erase(Normalised(key));
}

bool DiskInfoStore::HasKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  return keys_.count(Normalised(key)) != 0;
}

void DiskInfoStore::Clear() {
  std::lock_guard lock(mutex_);
  keys_.clear();
}

}  // namespace vantrel
