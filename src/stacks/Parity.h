#pragma once
// The redundancy of parity arrays: P is the XOR of a stripe row's data blocks, Q their
// Reed-Solomon syndrome over GF(2^8) (polynomial 0x11d, generator 2), block i weighted by
// 2^i in its syndrome order. Any two of a row's blocks can be rebuilt from the others.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantrel {

// into ^= from, byte by byte over the shorter of the two.
void XorInto(std::span<std::byte> into, std::span<const std::byte> from);

std::uint8_t GaloisMultiply(std::uint8_t a, std::uint8_t b);
// 2^exponent in the field (exponent taken modulo 255).
std::uint8_t GaloisPowerOfTwo(unsigned exponent);
// The multiplicative inverse; 0 has none and gives 0.
std::uint8_t GaloisInverse(std::uint8_t a);

// One block of a stripe row, all of the same length; a block that is not present is to be
// rebuilt into its bytes.
struct RowBlock {
  std::span<std::byte> bytes;
  bool present = true;
};

// A row's blocks: data in syndrome order, then P, and Q where the level has one.
struct StripeRow {
  std::vector<RowBlock> data;
  RowBlock p;
  std::optional<RowBlock> q;
};

// Rebuilds the data blocks of the row that are not present, from the other data blocks, P
// and Q: one from P or from Q alone, two from P and Q together. False (nothing rebuilt)
// when too many blocks are missing. P and Q themselves are never rebuilt.
bool RebuildMissingData(StripeRow& row);

// P and Q of the given data blocks (for tests and for checking rows); q may be empty.
void ComputeParity(std::span<const std::span<const std::byte>> data, std::span<std::byte> p, std::span<std::byte> q);

}  // namespace vantrel
