#include "disk/containers/VdiImageSource.h"

#include <algorithm>
#include <array>

#include "base/LittleEndian.h"

namespace vantrel {

VdiImageSource::VdiImageSource(const std::string& path) : file_(path) {
  const auto fileBytes = file_.Size();
  std::array<std::byte, kVdiHeaderBytes> head{};
  std::string why = file_.OpenError();
  if (!fileBytes || file_.Read(0, head) != ReadOutcome::Ok) {
    Failed("cannot open the VDI image " + path + (why.empty() ? std::string() : ": " + why));
    return;
  }
  const auto header = DecodeVdiHeader(head, *fileBytes, why);
  if (!header) {
    Failed("cannot read the VDI image " + path + ": " + why);
    return;
  }
  if (header->type == 4) {
    Failed("cannot read the VDI image " + path + ": a differencing image, whose parent is not read");
    return;
  }
  header_ = *header;
  std::vector<std::byte> map(std::size_t{header_.blocks} * 4);
  if (file_.Read(header_.blockMapOffset, map) != ReadOutcome::Ok) {
    Failed("cannot read the block map of the VDI image " + path);
    return;
  }
  map_.resize(header_.blocks);
  for (std::size_t i = 0; i < map_.size(); ++i) map_[i] = ReadU32(map, i * 4);
  ContainerDescription description;
  description.kind = ImageKind::Vdi;
  description.detail = header_.type == 2 ? "fixed" : "dynamic";
  description.files = {path};
  Opened(header_.diskBytes, std::move(description));
}

bool VdiImageSource::ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) {
  bool read = true;
  while (!buffer.empty()) {
    const std::uint64_t block = offset / header_.blockBytes;
    const std::uint64_t within = offset % header_.blockBytes;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(header_.blockBytes - within, buffer.size()));
    const auto piece = buffer.first(length);
    if (const auto at = VdiBlockOffset(header_, map_, block))
      read = file_.Read(*at + within, piece) == ReadOutcome::Ok && read;
    else
      std::fill(piece.begin(), piece.end(), std::byte{0});
    offset += length;
    buffer = buffer.subspan(length);
  }
  return read;
}

}  // namespace vantrel
