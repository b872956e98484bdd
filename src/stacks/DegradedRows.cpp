#include "stacks/DegradedRows.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "stacks/Parity.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;

// The part of each chunk a row is read in: whole chunks, or the part of one chunk when the
// read touches only one.
struct RowSpan {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;
};

RowSpan SpanInRow(std::uint64_t rowStart, std::uint64_t rowBytes, std::uint64_t chunkBytes, std::uint64_t begin,
                  std::uint64_t end) {
  const std::uint64_t a = std::max(begin, rowStart) - rowStart;
  const std::uint64_t b = std::min(end, rowStart + rowBytes) - rowStart;
  if (a / chunkBytes != (b - 1) / chunkBytes) return {0, chunkBytes};
  return {a % chunkBytes, (b - 1) % chunkBytes + 1};
}

}  // namespace

bool ReadWholeRows(const MdGeometry& g, const std::vector<bool>& present, std::uint64_t offset,
                   std::span<std::byte> buffer, const MemberReader& read) {
  if (buffer.empty()) return true;
  const std::uint32_t n = g.raidDisks;
  const std::uint32_t dataDisks = n - (g.level == 6 ? 2 : 1);
  const std::uint64_t chunkBytes = g.chunkSectors * kSectorBytes;
  const std::uint64_t rowBytes = chunkBytes * dataDisks;
  const std::uint64_t end = offset + buffer.size();
  const std::uint64_t firstRow = offset / rowBytes;
  const std::uint64_t rows = (end - 1) / rowBytes - firstRow + 1;

  // Where each member's block of each row goes: straight into the buffer where the read
  // wants all of it, else into a buffer kept from one read to the next (a fresh one would be
  // mapped and faulted in anew every time, which costs more than the reading).
  thread_local std::vector<std::byte> kept;
  if (kept.size() < rows * n * chunkBytes) kept.resize(static_cast<std::size_t>(rows * n * chunkBytes));
  const std::span<std::byte> scratch(kept);
  std::vector<RowSpan> spans(rows);
  std::vector<ParityRowRoles> roles(rows);
  std::vector<std::span<std::byte>> blocks(rows * n);
  for (std::uint64_t r = 0; r < rows; ++r) {
    const std::uint64_t row = firstRow + r;
    spans[r] = SpanInRow(row * rowBytes, rowBytes, chunkBytes, offset, end);
    roles[r] = RowRoles(g, row);
    const auto length = static_cast<std::size_t>(spans[r].hi - spans[r].lo);
    for (std::uint32_t role = 0; role < n; ++role)
      blocks[r * n + role] = scratch.subspan(static_cast<std::size_t>((r * n + role) * chunkBytes), length);
    for (std::uint32_t d = 0; d < dataDisks; ++d) {
      const std::uint64_t from = row * rowBytes + std::uint64_t{d} * chunkBytes + spans[r].lo;
      if (from >= offset && from + length <= end)
        blocks[r * n + roles[r].dataRoles[d]] = buffer.subspan(static_cast<std::size_t>(from - offset), length);
    }
  }

  // Every present member reads its blocks, side by side with the others.
  std::atomic<bool> failed = false;
  {
    std::vector<std::jthread> readers;
    for (std::uint32_t role = 0; role < n; ++role) {
      if (!present[role]) continue;
      readers.emplace_back([&, role] {
        for (std::uint64_t r = 0; r < rows && !failed; ++r)
          if (!read(role, (firstRow + r) * chunkBytes + spans[r].lo, blocks[r * n + role])) failed = true;
      });
    }
  }
  if (failed) return false;

  for (std::uint64_t r = 0; r < rows; ++r) {
    const std::uint64_t row = firstRow + r;
    const auto block = [&](std::uint32_t role) { return RowBlock{blocks[r * n + role], present[role]}; };
    StripeRow stripe;
    for (const std::uint32_t role : roles[r].syndromeOrder) stripe.data.push_back(block(role));
    stripe.p = block(roles[r].p);
    if (roles[r].q) stripe.q = block(*roles[r].q);
    if (!RebuildMissingData(stripe)) return false;
    // The data blocks read or rebuilt aside: the part of each that the read wants.
    for (std::uint32_t d = 0; d < dataDisks; ++d) {
      const std::span<std::byte> held = blocks[r * n + roles[r].dataRoles[d]];
      if (held.data() >= buffer.data() && held.data() < buffer.data() + buffer.size()) continue;
      const std::uint64_t chunkStart = row * rowBytes + std::uint64_t{d} * chunkBytes + spans[r].lo;
      const std::uint64_t from = std::max(offset, chunkStart);
      const std::uint64_t to = std::min(end, chunkStart + held.size());
      if (from >= to) continue;
      const auto part = held.subspan(static_cast<std::size_t>(from - chunkStart), static_cast<std::size_t>(to - from));
      std::copy(part.begin(), part.end(), buffer.begin() + static_cast<std::ptrdiff_t>(from - offset));
    }
  }
  return true;
}

}  // namespace vantrel
