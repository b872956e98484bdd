#include "stacks/MdArraySource.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "disk/SectorReader.h"
#include "stacks/DegradedRows.h"
#include "stacks/Parity.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = kSectorSize;
// RAID1 has no chunks; its reads are cut into pieces of this size.
constexpr std::uint64_t kMirrorPieceBytes = 1 << 20;
// Reads this large that span several members read them in parallel.
constexpr std::size_t kParallelReadBytes = 512 << 10;
// A degraded parity array reads whole rows in batches of about this many array bytes.
constexpr std::uint64_t kRowBatchBytes = 8 << 20;

}  // namespace

MdArraySource::MdArraySource(MdGeometry geometry, std::vector<std::optional<MdMemberData>> roles,
                             StackDescription description, std::vector<std::string> underlyingPaths)
    : geometry_(std::move(geometry)),
      roles_(std::move(roles)),
      description_(std::move(description)),
      paths_(std::move(underlyingPaths)) {
  roles_.resize(geometry_.raidDisks);
  for (const auto& role : roles_) present_.push_back(role.has_value());
  degradedParity_ = (geometry_.level == 4 || geometry_.level == 5 || geometry_.level == 6) &&
                    std::find(present_.begin(), present_.end(), false) != present_.end();
}

bool MdArraySource::ReadMember(std::uint32_t role, std::uint64_t byte, std::span<std::byte> into) const {
  if (role >= roles_.size() || !roles_[role]) return false;
  const MdMemberData& member = *roles_[role];
  return member.source->Read(member.dataStartByte + byte, into) == ReadOutcome::Ok;
}

ReadOutcome MdArraySource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  const std::uint64_t size = ArraySectors(geometry_) * kSectorBytes;
  const std::uint64_t inside = offset < size ? std::min<std::uint64_t>(buffer.size(), size - offset) : 0;
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(inside), buffer.end(), std::byte{0});
  const auto wanted = buffer.first(static_cast<std::size_t>(inside));
  const std::uint64_t rowBytes = geometry_.chunkSectors * kSectorBytes *
                                 (geometry_.raidDisks - (geometry_.level == 6 ? 2 : 1));
  if (degradedParity_ && inside >= rowBytes) return ReadDegradedRows(offset, wanted);
  return ReadChunks(offset, wanted);
}

ReadOutcome MdArraySource::ReadDegradedRows(std::uint64_t offset, std::span<std::byte> into) const {
  const MemberReader reader = [this](std::uint32_t role, std::uint64_t byte, std::span<std::byte> bytes) {
    return ReadMember(role, byte, bytes);
  };
  const std::uint64_t rowBytes = geometry_.chunkSectors * kSectorBytes *
                                 (geometry_.raidDisks - (geometry_.level == 6 ? 2 : 1));
  const std::uint64_t batch = std::max<std::uint64_t>(kRowBatchBytes / rowBytes, 1) * rowBytes;
  ReadOutcome outcome = ReadOutcome::Ok;
  std::uint64_t done = 0;
  while (done < into.size()) {
    const std::uint64_t at = offset + done;
    // Batches end at row boundaries, so that the next one starts a row.
    const std::uint64_t length = std::min<std::uint64_t>((at / batch + 1) * batch - at, into.size() - done);
    const auto piece = into.subspan(static_cast<std::size_t>(done), static_cast<std::size_t>(length));
    // A member that fails to read sends the batch the way of single chunks, each with its own rebuild.
    if (!ReadWholeRows(geometry_, present_, at, piece, reader) && ReadChunks(at, piece) != ReadOutcome::Ok)
      outcome = ReadOutcome::Failed;
    done += length;
  }
  return outcome;
}

ReadOutcome MdArraySource::ReadChunks(std::uint64_t offset, std::span<std::byte> into) const {
  // The read cut at chunk boundaries, each piece with the member that holds it.
  std::vector<MemberPiece> pieces;
  std::uint64_t done = 0;
  while (done < into.size()) {
    const std::uint64_t at = offset + done;
    const std::uint64_t pieceEnd = geometry_.level == 1
                                       ? at + kMirrorPieceBytes
                                       : (at / kSectorBytes + SectorsLeftInChunk(geometry_, at / kSectorBytes)) *
                                             kSectorBytes;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(pieceEnd - at, into.size() - done));
    const std::uint32_t role = geometry_.level == 1 ? 0 : CopiesOf(geometry_, at / kSectorBytes).front().role;
    pieces.push_back({at, into.subspan(static_cast<std::size_t>(done), length), role});
    done += length;
  }
  return ReadPieces(pieces);
}

ReadOutcome MdArraySource::ReadPieces(const std::vector<MemberPiece>& pieces) const {
  // A failed piece fails the read, but the others are still read: the caller may keep them.
  std::atomic<bool> failed = false;
  const auto readRole = [&](std::optional<std::uint32_t> role) {
    for (const MemberPiece& piece : pieces)
      if ((!role || piece.role == *role) && ReadPiece(piece.offset, piece.into) != ReadOutcome::Ok) failed = true;
  };
  // A large read that spans several members reads them side by side, one thread a member.
  std::vector<std::uint32_t> roles;
  for (const MemberPiece& piece : pieces)
    if (std::find(roles.begin(), roles.end(), piece.role) == roles.end()) roles.push_back(piece.role);
  const std::size_t bytes = pieces.empty()
                                ? 0
                                : pieces.back().into.data() + pieces.back().into.size() - pieces.front().into.data();
  if (roles.size() < 2 || bytes < kParallelReadBytes) {
    readRole(std::nullopt);
  } else {
    std::vector<std::jthread> others;
    for (std::size_t i = 1; i < roles.size(); ++i) others.emplace_back([&, role = roles[i]] { readRole(role); });
    readRole(roles.front());
  }
  return failed ? ReadOutcome::Failed : ReadOutcome::Ok;
}

ReadOutcome MdArraySource::ReadPiece(std::uint64_t offset, std::span<std::byte> into) const {
  const std::uint64_t sector = offset / kSectorBytes;
  const std::uint64_t inSector = offset % kSectorBytes;
  if (geometry_.level == 4 || geometry_.level == 5 || geometry_.level == 6) {
    const std::uint64_t chunk = sector / geometry_.chunkSectors;
    const std::uint64_t within = offset - chunk * geometry_.chunkSectors * kSectorBytes;
    const MemberPlace place = CopiesOf(geometry_, sector).front();
    if (ReadMember(place.role, place.sector * kSectorBytes + inSector, into)) return ReadOutcome::Ok;
    return RebuildFromParity(chunk, within, into);
  }
  for (const MemberPlace& place : CopiesOf(geometry_, sector))
    if (ReadMember(place.role, place.sector * kSectorBytes + inSector, into)) return ReadOutcome::Ok;
  return ReadOutcome::Failed;
}

ReadOutcome MdArraySource::RebuildFromParity(std::uint64_t chunk, std::uint64_t within,
                                             std::span<std::byte> into) const {
  const std::uint32_t dataDisks = static_cast<std::uint32_t>(geometry_.raidDisks - (geometry_.level == 6 ? 2 : 1));
  const std::uint64_t row = chunk / dataDisks;
  const ParityRowRoles roles = RowRoles(geometry_, row);
  const std::uint32_t wanted = roles.dataRoles[chunk % dataDisks];
  const std::uint64_t memberByte = row * geometry_.chunkSectors * kSectorBytes + within;

  // Every other block of the row at the same place, read into one buffer.
  std::vector<std::byte> others(into.size() * geometry_.raidDisks);
  const auto blockOf = [&](std::uint32_t role) {
    return role == wanted ? into : std::span(others).subspan(std::size_t{role} * into.size(), into.size());
  };
  const auto readBlock = [&](std::uint32_t role) {
    return RowBlock{blockOf(role), role != wanted && ReadMember(role, memberByte, blockOf(role))};
  };
  StripeRow stripe;
  for (const std::uint32_t role : roles.syndromeOrder) stripe.data.push_back(readBlock(role));
  stripe.p = readBlock(roles.p);
  if (roles.q) stripe.q = readBlock(*roles.q);
  return RebuildMissingData(stripe) ? ReadOutcome::Ok : ReadOutcome::Failed;
}

}  // namespace vantrel
