#include "stacks/Parity.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vantrel {

namespace {

struct GaloisTables {
  std::array<std::uint8_t, 256> log{};
  std::array<std::uint8_t, 512> exp{};
};

constexpr GaloisTables MakeTables() {
  GaloisTables tables;
  unsigned value = 1;
  for (unsigned i = 0; i < 255; ++i) {
    tables.exp[i] = static_cast<std::uint8_t>(value);
    tables.exp[i + 255] = static_cast<std::uint8_t>(value);
    tables.log[value] = static_cast<std::uint8_t>(i);
    value <<= 1;
    if (value & 0x100) value ^= 0x11d;
  }
  return tables;
}

constexpr GaloisTables kTables = MakeTables();

// into ^= coefficient * from.
void MultiplyInto(std::span<std::byte> into, std::span<const std::byte> from, std::uint8_t coefficient) {
  if (coefficient == 0) return;
  if (coefficient == 1) return XorInto(into, from);
  const unsigned logC = kTables.log[coefficient];
  const std::size_t n = std::min(into.size(), from.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto b = std::to_integer<std::uint8_t>(from[i]);
    if (b != 0) into[i] ^= static_cast<std::byte>(kTables.exp[kTables.log[b] + logC]);
  }
}

void Scale(std::span<std::byte> bytes, std::uint8_t coefficient) {
  for (std::byte& b : bytes) b = static_cast<std::byte>(GaloisMultiply(std::to_integer<std::uint8_t>(b), coefficient));
}

}  // namespace

void XorInto(std::span<std::byte> into, std::span<const std::byte> from) {
  const std::size_t n = std::min(into.size(), from.size());
  std::size_t i = 0;
  // 32 bytes at a time, in the machine's vector registers: the rebuild of a degraded row is
  // the hot loop of such arrays.
  using Lanes = std::uint64_t __attribute__((vector_size(32)));
  for (; i + sizeof(Lanes) <= n; i += sizeof(Lanes)) {
    Lanes a;
    Lanes b;
    std::memcpy(&a, into.data() + i, sizeof a);
    std::memcpy(&b, from.data() + i, sizeof b);
    a ^= b;
    std::memcpy(into.data() + i, &a, sizeof a);
  }
  for (; i < n; ++i) into[i] ^= from[i];
}

std::uint8_t GaloisMultiply(std::uint8_t a, std::uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return kTables.exp[kTables.log[a] + kTables.log[b]];
}

std::uint8_t GaloisPowerOfTwo(unsigned exponent) { return kTables.exp[exponent % 255]; }

std::uint8_t GaloisInverse(std::uint8_t a) {
  if (a == 0) return 0;
  return kTables.exp[(255 - kTables.log[a]) % 255];
}

void ComputeParity(std::span<const std::span<const std::byte>> data, std::span<std::byte> p, std::span<std::byte> q) {
  std::fill(p.begin(), p.end(), std::byte{0});
  std::fill(q.begin(), q.end(), std::byte{0});
  for (std::size_t i = 0; i < data.size(); ++i) {
    XorInto(p, data[i]);
    MultiplyInto(q, data[i], GaloisPowerOfTwo(static_cast<unsigned>(i)));
  }
}

bool RebuildMissingData(StripeRow& row) {
  std::vector<std::size_t> missing;
  for (std::size_t i = 0; i < row.data.size(); ++i)
    if (!row.data[i].present) missing.push_back(i);
  if (missing.empty()) return true;
  const bool haveP = row.p.present;
  const bool haveQ = row.q && row.q->present;
  if (missing.size() > 2 || (missing.size() == 2 && !(haveP && haveQ)) || (!haveP && !haveQ)) return false;

  // What is left of P and Q once the present data blocks are taken out of them.
  const auto partial = [&](std::span<std::byte> into, bool weighted) {
    for (std::size_t i = 0; i < row.data.size(); ++i) {
      if (!row.data[i].present) continue;
      if (weighted)
        MultiplyInto(into, row.data[i].bytes, GaloisPowerOfTwo(static_cast<unsigned>(i)));
      else
        XorInto(into, row.data[i].bytes);
    }
  };

  const std::size_t x = missing[0];
  std::span<std::byte> dx = row.data[x].bytes;
  if (missing.size() == 1 && haveP) {
    // A strip at a time, so that the block being rebuilt stays in the cache while every
    // other block is folded into it.
    constexpr std::size_t kStrip = 4096;
    for (std::size_t at = 0; at < dx.size(); at += kStrip) {
      const std::size_t length = std::min(kStrip, dx.size() - at);
      const auto strip = dx.subspan(at, length);
      std::copy_n(row.p.bytes.begin() + static_cast<std::ptrdiff_t>(at), length, strip.begin());
      for (const RowBlock& block : row.data)
        if (block.present) XorInto(strip, block.bytes.subspan(at, std::min(length, block.bytes.size() - at)));
    }
    row.data[x].present = true;
    return true;
  }
  if (missing.size() == 1) {
    // Q alone: Q' = 2^x * Dx.
    std::copy(row.q->bytes.begin(), row.q->bytes.end(), dx.begin());
    partial(dx, true);
    Scale(dx, GaloisInverse(GaloisPowerOfTwo(static_cast<unsigned>(x))));
    row.data[x].present = true;
    return true;
  }
  // Two data blocks: Dx ^ Dy = P', 2^x Dx ^ 2^y Dy = Q', so Dx = (Q' ^ 2^y P') / (2^x ^ 2^y).
  const std::size_t y = missing[1];
  std::span<std::byte> dy = row.data[y].bytes;
  std::copy(row.p.bytes.begin(), row.p.bytes.end(), dy.begin());
  partial(dy, false);  // dy holds P'
  std::copy(row.q->bytes.begin(), row.q->bytes.end(), dx.begin());
  partial(dx, true);  // dx holds Q'
  const std::uint8_t gx = GaloisPowerOfTwo(static_cast<unsigned>(x));
  const std::uint8_t gy = GaloisPowerOfTwo(static_cast<unsigned>(y));
  MultiplyInto(dx, dy, gy);
  Scale(dx, GaloisInverse(static_cast<std::uint8_t>(gx ^ gy)));
  XorInto(dy, dx);
  row.data[x].present = true;
  row.data[y].present = true;
  return true;
}

}  // namespace vantrel
