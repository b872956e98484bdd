#include "stacks/LvmVolumeGroup.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr std::int64_t kMaxExtentSectors = std::int64_t{1} << 32;
constexpr std::int64_t kMaxExtents = std::int64_t{1} << 40;
constexpr std::int64_t kMaxStripes = 128;
constexpr std::size_t kMaxSegments = 100000;

bool InRange(const std::optional<std::int64_t>& value, std::int64_t low, std::int64_t high) {
  return value && *value >= low && *value <= high;
}

std::optional<LvmSegment> ReadSegment(const LvmNode& node, const LvmVolumeGroup& group, std::string& unsupported) {
  const auto start = node.Number("start_extent");
  const auto count = node.Number("extent_count");
  const auto type = node.Text("type");
  if (!InRange(start, 0, kMaxExtents) || !InRange(count, 1, kMaxExtents) || !type) return std::nullopt;
  if (*type != "striped" && *type != "linear") {
    unsupported = "segments of type " + *type;
    if (*type == "mirror" || *type == "raid1") unsupported += " (its legs are listed on their own)";
    return LvmSegment{static_cast<std::uint64_t>(*start), static_cast<std::uint64_t>(*count), 0, {}};
  }
  const auto stripeCount = node.Number("stripe_count");
  const LvmNode* stripes = node.Find("stripes");
  if (!InRange(stripeCount, 1, kMaxStripes) || stripes == nullptr || stripes->kind != LvmNode::Kind::List ||
      stripes->children.size() != static_cast<std::size_t>(*stripeCount) * 2 || *count % *stripeCount != 0)
    return std::nullopt;
  LvmSegment segment{static_cast<std::uint64_t>(*start), static_cast<std::uint64_t>(*count), 0, {}};
  if (*stripeCount > 1) {
    const auto size = node.Number("stripe_size");
    if (!InRange(size, 1, kMaxExtentSectors) || (*size & (*size - 1)) != 0) return std::nullopt;
    segment.stripeSectors = static_cast<std::uint64_t>(*size);
  }
  const std::uint64_t perStripe = segment.extentCount / static_cast<std::uint64_t>(*stripeCount);
  for (std::size_t i = 0; i < stripes->children.size(); i += 2) {
    const LvmNode& pvName = stripes->children[i];
    const LvmNode& first = stripes->children[i + 1];
    if (pvName.kind != LvmNode::Kind::String || first.kind != LvmNode::Kind::Number || first.number < 0)
      return std::nullopt;
    const auto pv = std::find_if(group.physicalVolumes.begin(), group.physicalVolumes.end(),
                                 [&](const LvmPhysicalVolumeEntry& entry) { return entry.key == pvName.text; });
    if (pv == group.physicalVolumes.end()) return std::nullopt;
    const auto firstExtent = static_cast<std::uint64_t>(first.number);
    if (firstExtent > pv->peCount || pv->peCount - firstExtent < perStripe) return std::nullopt;
    segment.stripes.push_back({static_cast<std::size_t>(pv - group.physicalVolumes.begin()), firstExtent});
  }
  return segment;
}

std::optional<LvmLogicalVolume> ReadLogicalVolume(const LvmNode& node, const LvmVolumeGroup& group) {
  LvmLogicalVolume volume;
  volume.name = node.name;
  volume.uuid = node.Text("id").value_or("");
  for (const LvmNode& child : node.children) {
    if (child.kind != LvmNode::Kind::Section || child.name.rfind("segment", 0) != 0) continue;
    if (volume.segments.size() >= kMaxSegments) return std::nullopt;
    auto segment = ReadSegment(child, group, volume.unsupported);
    if (!segment) return std::nullopt;
    volume.segments.push_back(std::move(*segment));
  }
  if (volume.segments.empty()) return std::nullopt;
  std::sort(volume.segments.begin(), volume.segments.end(),
            [](const LvmSegment& a, const LvmSegment& b) { return a.startExtent < b.startExtent; });
  std::uint64_t next = 0;
  for (const LvmSegment& segment : volume.segments) {
    if (segment.startExtent != next) return std::nullopt;
    next += segment.extentCount;
  }
  return volume;
}

// The legs of a mirror or raid1 volume ("home_mimage_0", "home_rimage_1") are hidden volumes
// of their own, each holding the whole of the volume's data from its start.
bool IsMirrorLeg(std::string_view name) {
  return name.find("_mimage_") != std::string_view::npos || name.find("_rimage_") != std::string_view::npos;
}

}  // namespace

std::string BareUuid(std::string_view uuid) {
  std::string bare;
  for (const char c : uuid)
    if (c != '-') bare += c;
  return bare;
}

std::optional<LvmVolumeGroup> ReadVolumeGroup(std::string_view metadataText) {
  const auto root = ParseLvmText(metadataText);
  if (!root) return std::nullopt;
  const LvmNode* section = nullptr;
  for (const LvmNode& child : root->children)
    if (child.kind == LvmNode::Kind::Section) {
      section = &child;
      break;
    }
  if (section == nullptr) return std::nullopt;
  LvmVolumeGroup group;
  group.name = section->name;
  const auto id = section->Text("id");
  const auto seqno = section->Number("seqno");
  const auto extent = section->Number("extent_size");
  const LvmNode* pvs = section->Section("physical_volumes");
  if (!id || !InRange(seqno, 0, INT64_MAX) || !InRange(extent, 1, kMaxExtentSectors) || pvs == nullptr)
    return std::nullopt;
  group.uuid = BareUuid(*id);
  group.seqno = static_cast<std::uint64_t>(*seqno);
  group.extentSectors = static_cast<std::uint64_t>(*extent);
  for (const LvmNode& pv : pvs->children) {
    if (pv.kind != LvmNode::Kind::Section) continue;
    const auto pvId = pv.Text("id");
    const auto peStart = pv.Number("pe_start");
    const auto peCount = pv.Number("pe_count");
    if (!pvId || !InRange(peStart, 0, kMaxExtents) || !InRange(peCount, 0, kMaxExtents)) return std::nullopt;
    group.physicalVolumes.push_back({pv.name, BareUuid(*pvId), pv.Text("device").value_or(""),
                                     static_cast<std::uint64_t>(*peStart), static_cast<std::uint64_t>(*peCount)});
  }
  if (const LvmNode* lvs = section->Section("logical_volumes")) {
    for (const LvmNode& lv : lvs->children) {
      if (lv.kind != LvmNode::Kind::Section || !(lv.ListHas("status", "VISIBLE") || IsMirrorLeg(lv.name))) continue;
      auto volume = ReadLogicalVolume(lv, group);
      if (!volume) {
        volume =
            LvmLogicalVolume{lv.name, BareUuid(lv.Text("id").value_or("")), {}, "segments that do not hold together"};
      }
      group.logicalVolumes.push_back(std::move(*volume));
    }
  }
  return group;
}

}  // namespace vantrel
