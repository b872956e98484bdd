#include "disk/containers/SplitRawSource.h"

#include <algorithm>

namespace vantrel {

SplitRawSource::SplitRawSource(const std::vector<std::string>& pieces, std::optional<BadSectorMap> badSectors)
    : badSectors_(std::move(badSectors)) {
  ContainerDescription description;
  description.kind = ImageKind::SplitRaw;
  description.detail = std::to_string(pieces.size()) + " pieces";
  std::uint64_t start = 0;
  for (const std::string& path : pieces) {
    auto file = std::make_unique<FileDiskSource>(path);
    const auto size = file->Size();
    if (!size) {
      Failed(file->OpenError());
      return;
    }
    pieces_.push_back({std::move(file), start, *size});
    start += *size;
    description.files.push_back(path);
  }
  Opened(start, std::move(description));
}

bool SplitRawSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  if (badSectors_ && badSectors_->Touches(offset, buffer.size())) return false;
  // The last piece that begins at or before offset.
  auto piece = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                                [](std::uint64_t at, const Piece& p) { return at < p.start; });
  if (piece == pieces_.begin()) return false;
  --piece;
  std::size_t done = 0;
  for (; done < buffer.size() && piece != pieces_.end(); ++piece) {
    const std::uint64_t position = offset + done;
    if (position >= piece->start + piece->size) continue;  // an empty piece
    const std::size_t bytes = static_cast<std::size_t>(
        std::min<std::uint64_t>(buffer.size() - done, piece->start + piece->size - position));
    if (piece->file->Read(position - piece->start, buffer.subspan(done, bytes)) != ReadOutcome::Ok) return false;
    done += bytes;
  }
  return done == buffer.size();
}

}  // namespace vantrel
