#include "disk/containers/StoredHashCheck.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace vantrel {

namespace {

constexpr std::size_t kReadBytes = std::size_t{4} << 20;
constexpr std::size_t kSectorBytes = 512;

const EVP_MD* DigestNamed(const std::string& name) {
  if (name == "MD5") return EVP_md5();
  if (name == "SHA1") return EVP_sha1();
  if (name == "SHA256") return EVP_sha256();
  return nullptr;
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

}  // namespace

bool StoredHashCheck::Passed() const {
  return opened && unreadableBytes == 0 && !hashes.empty() &&
         std::all_of(hashes.begin(), hashes.end(), [](const HashComparison& hash) { return hash.matches; });
}

StoredHashCheck CheckStoredHashes(ContainerSource& disk, const std::function<void(std::uint64_t)>& progress) {
  StoredHashCheck check;
  const auto size = disk.Size();
  if (!size) return check;
  check.opened = true;
  std::vector<Context> contexts;
  for (const auto& [name, value] : disk.Description().storedHashes) {
    const EVP_MD* digest = DigestNamed(name);
    if (digest == nullptr) continue;
    check.hashes.push_back({name, Lowered(value), {}, false});
    contexts.emplace_back(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_DigestInit_ex(contexts.back().get(), digest, nullptr);
  }
  if (contexts.empty()) return check;
  std::vector<std::byte> buffer(kReadBytes);
  for (std::uint64_t offset = 0; offset < *size;) {
    const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), *size - offset));
    const auto piece = std::span(buffer).first(bytes);
    if (disk.Read(offset, piece) != ReadOutcome::Ok) {
      // Sector by sector, so that only the damaged ones count and read as zeros.
      for (std::size_t at = 0; at < bytes; at += kSectorBytes) {
        const auto sector = piece.subspan(at, std::min(kSectorBytes, bytes - at));
        if (disk.Read(offset + at, sector) == ReadOutcome::Ok) continue;
        check.unreadableBytes += sector.size();
        std::fill(sector.begin(), sector.end(), std::byte{0});
      }
    }
    for (const Context& context : contexts) EVP_DigestUpdate(context.get(), piece.data(), piece.size());
    offset += bytes;
    if (progress) progress(offset);
  }
  for (std::size_t i = 0; i < contexts.size(); ++i) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(contexts[i].get(), digest, &length);
    static constexpr char kHex[] = "0123456789abcdef";
    for (unsigned int b = 0; b < length; ++b) {
      check.hashes[i].computed += kHex[digest[b] >> 4];
      check.hashes[i].computed += kHex[digest[b] & 0xf];
    }
    check.hashes[i].matches = check.hashes[i].computed == check.hashes[i].stored;
  }
  return check;
}

}  // namespace vantrel
