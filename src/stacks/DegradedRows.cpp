#include "stacks/DegradedRows.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "stacks/Parity.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;

// The chunk range a row is read in: whole chunks, or the part of one chunk when the read
// touches only one.
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
  const std::uint64_t lastRow = (end - 1) / rowBytes;
  // Rows between the first and the last are whole, so each member's part is one stretch.
  const RowSpan first = SpanInRow(firstRow * rowBytes, rowBytes, chunkBytes, offset, end);
  const RowSpan last = SpanInRow(lastRow * rowBytes, rowBytes, chunkBytes, offset, end);
  const std::uint64_t memberStart = firstRow * chunkBytes + first.lo;
  const std::uint64_t memberBytes = lastRow * chunkBytes + last.hi - memberStart;

  std::vector<std::byte> members(static_cast<std::size_t>(memberBytes) * n);
  const auto stretch = [&](std::uint32_t role) {
    return std::span(members).subspan(static_cast<std::size_t>(memberBytes) * role,
                                      static_cast<std::size_t>(memberBytes));
  };
  std::atomic<bool> failed = false;
  {
    std::vector<std::jthread> readers;
    for (std::uint32_t role = 0; role < n; ++role)
      if (present[role])
        readers.emplace_back([&, role] {
          if (!read(role, memberStart, stretch(role))) failed = true;
        });
  }
  if (failed) return false;

  for (std::uint64_t row = firstRow; row <= lastRow; ++row) {
    const RowSpan span = SpanInRow(row * rowBytes, rowBytes, chunkBytes, offset, end);
    const std::size_t at = static_cast<std::size_t>(row * chunkBytes + span.lo - memberStart);
    const std::size_t length = static_cast<std::size_t>(span.hi - span.lo);
    const ParityRowRoles roles = RowRoles(g, row);
    const auto block = [&](std::uint32_t role) { return RowBlock{stretch(role).subspan(at, length), present[role]}; };
    StripeRow stripe;
    for (const std::uint32_t role : roles.syndromeOrder) stripe.data.push_back(block(role));
    stripe.p = block(roles.p);
    if (roles.q) stripe.q = block(*roles.q);
    if (!RebuildMissingData(stripe)) return false;
    // The row's data chunks, in array order, cut to what was asked for.
    for (std::uint32_t d = 0; d < dataDisks; ++d) {
      const std::uint64_t chunkStart = row * rowBytes + std::uint64_t{d} * chunkBytes;
      const std::uint64_t from = std::max({offset, chunkStart + span.lo});
      const std::uint64_t to = std::min({end, chunkStart + span.hi});
      if (from >= to) continue;
      const auto source = stretch(roles.dataRoles[d])
                              .subspan(at + static_cast<std::size_t>(from - chunkStart - span.lo),
                                       static_cast<std::size_t>(to - from));
      std::copy(source.begin(), source.end(), buffer.begin() + static_cast<std::ptrdiff_t>(from - offset));
    }
  }
  return true;
}

}  // namespace vantrel
