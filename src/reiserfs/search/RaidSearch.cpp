#include "reiserfs/search/RaidSearch.h"

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <set>

#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/search/TreeFit.h"
#include "stacks/LvmLabel.h"
#include "stacks/ManualArrayAssembly.h"
#include "stacks/PartitionSlices.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSuperblockByte = 65536;
constexpr std::uint64_t kScanPiece = 1 << 20;
constexpr std::size_t kMostSuperblocks = 256;
constexpr std::uint32_t kMdMagic = 0xa92b4efc;
// Where a file system usually starts on an array: at its start, or where a logical volume's
// first extent lies (LVM2's default, and that of older versions).
constexpr std::uint64_t kUsualVolumeStarts[] = {0, 1 << 20, 192 << 10};
// Data offsets md gives members of metadata 1.1 and 1.2 by default, by version and size.
constexpr std::uint64_t kUsualDataOffsets[] = {0, 1 << 20, std::uint64_t{128} << 20};

struct FoundSuperblock {
  std::size_t member = 0;  // index into the members tried
  std::uint64_t byte = 0;  // where its sector starts on the member
  ReiserSuperblock superblock;
  std::size_t volume = 0;  // superblocks of one volume (its copies in the journal too) share this
};

// One volume's superblocks agree on its size, block size and the tail (UUID and label).
bool SameVolume(const ReiserSuperblock& a, const ReiserSuperblock& b) {
  return a.blockCount == b.blockCount && a.blockSize == b.blockSize && a.tail == b.tail;
}

void NumberVolumes(std::vector<FoundSuperblock>& found) {
  for (std::size_t i = 0; i < found.size(); ++i) {
    found[i].volume = i;
    for (std::size_t j = 0; j < i; ++j)
      if (SameVolume(found[i].superblock, found[j].superblock)) {
        found[i].volume = found[j].volume;
        break;
      }
  }
}

struct Shape {
  int level;
  std::uint32_t layout;
  std::size_t fewestMembers;
};

// In the order ties are broken: the simpler arrays first.
constexpr Shape kShapes[] = {{1, 0, 2}, {0, 0, 2},      {5, 2, 3},      {5, 0, 3},       {5, 3, 3},
                             {5, 1, 3}, {4, 0, 3},      {6, 2, 4},      {6, 0, 4},       {6, 3, 4},
                             {6, 1, 4}, {10, 0x102, 2}, {10, 0x201, 2}, {10, 0x10201, 2}};

std::optional<MemberContainer> LargestPartOf(const DiskNameTable& names, std::size_t givenDisks, std::size_t n) {
  DiskSource* disk = names.Source(n);
  if (disk == nullptr) return std::nullopt;
  ManualMember member{false, n, 0};
  std::uint64_t largest = 0;
  for (const PartitionSpan& span : ListPartitionSpans(*disk))
    if (span.sectors > largest) {
      largest = span.sectors;
      member.partition = span.number;
    }
  std::string problem;
  return ResolveMember(names, givenDisks, member, problem);
}

// ReiserFS superblocks in the first scanBytes of each member, and the data offsets damaged
// md superblocks of version 1 still name (their checksums are not asked for).
void ScanMembers(const std::vector<MemberContainer>& members, const RaidSearchLimits& limits, const StopToken& stop,
                 RaidSearchProgress& progress, std::vector<FoundSuperblock>& found, std::set<std::uint64_t>& offsets) {
  std::vector<std::byte> piece(kScanPiece);
  std::uint64_t total = 0;
  for (const MemberContainer& member : members) total += std::min(member.source->Size().value_or(0), limits.scanBytes);
  std::uint64_t done = 0;
  for (std::size_t m = 0; m < members.size() && !stop.Requested(); ++m) {
    DiskSource& source = *members[m].source;
    const std::uint64_t size = source.Size().value_or(0);
    const std::uint64_t end = std::min(size, limits.scanBytes);
    for (std::uint64_t at = 0; at < end && !stop.Requested(); at += kScanPiece) {
      const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kScanPiece, end - at));
      if (source.Read(at, std::span(piece).first(length)) != ReadOutcome::Ok) continue;
      for (std::size_t s = 0; s + kSectorSize <= length && found.size() < kMostSuperblocks; s += kSectorSize) {
        const ByteSpan sector = std::span(piece).subspan(s, kSectorSize);
        if (!HasReiserMagic(sector)) continue;
        const auto superblock = ReiserSuperblock::Decode(sector);
        if (superblock && superblock->IsPlausible()) found.push_back({m, at + s, *superblock});
      }
      progress.OnScanned(done += length, total);
    }
    for (const std::uint64_t place : {std::uint64_t{4096}, std::uint64_t{0}, (size / 512 - 16) / 8 * 8 * 512}) {
      std::array<std::byte, 256> block{};
      if (place + block.size() > size || source.Read(place, block) != ReadOutcome::Ok) continue;
      if (ReadU32(block, 0) != kMdMagic || ReadU32(block, 4) != 1) continue;
      const std::uint64_t dataOffset = ReadU64(block, 128) * kSectorSize;
      if (dataOffset < size) offsets.insert(dataOffset);
    }
  }
}

std::uint64_t Factorial(std::size_t n) {
  std::uint64_t product = 1;
  for (std::size_t i = 2; i <= n; ++i) product *= i;
  return product;
}

class Searcher {
 public:
  Searcher(const std::vector<MemberContainer>& members, std::vector<FoundSuperblock> found,
           std::set<std::uint64_t> offsets, const RaidSearchLimits& limits)
      : members_(members), found_(std::move(found)), fixedOffsets_(std::move(offsets)), limits_(limits) {
    smallest_ = std::numeric_limits<std::uint64_t>::max();
    for (const MemberContainer& member : members_) smallest_ = std::min(smallest_, member.source->Size().value_or(0));
  }

  void Run(const StopToken& stop, RaidSearchProgress& progress, RaidSearchResult& result) {
    const std::size_t k = members_.size();
    std::uint64_t total = 0;
    for (const Shape& shape : kShapes)
      if (k >= shape.fewestMembers) total += shape.level == 1 ? 1 : kChunkSizes * Factorial(k);
    total = std::min(total, limits_.mostLayouts);
    std::uint64_t layouts = 0;
    for (const Shape& shape : kShapes) {
      if (k < shape.fewestMembers) continue;
      std::vector<std::size_t> order(k);
      std::iota(order.begin(), order.end(), 0);
      do {
        for (std::uint64_t chunk = 4096; chunk <= (1u << 20) && chunk > 0; chunk *= 2) {
          if (stop.Requested() || layouts >= limits_.mostLayouts) {
            result.stopped = stop.Requested();
            result.bounded = !result.stopped;
            return;
          }
          ManualArrayParameters parameters{shape.level, shape.level == 1 ? 0 : chunk, {}, shape.layout, 0};
          for (const std::size_t m : order) parameters.members.push_back(members_[m].place);
          TryOffsets(parameters, order, result);
          if (++layouts % 64 == 0) progress.OnTried(layouts, total);
          if (shape.level == 1) break;
        }
      } while (shape.level != 1 && std::next_permutation(order.begin(), order.end()));
    }
    progress.OnTried(layouts, total);
  }

  std::vector<RaidCandidate> Best() const { return best_; }

 private:
  static constexpr std::uint64_t kChunkSizes = 9;  // 4 KiB to 1 MiB

  void TryOffsets(const ManualArrayParameters& shape, const std::vector<std::size_t>& order, RaidSearchResult& result) {
    std::set<std::uint64_t> offsets = fixedOffsets_;
    offsets.insert(std::begin(kUsualDataOffsets), std::end(kUsualDataOffsets));
    // Offsets that put a superblock found at the start of the array or of a logical volume.
    const MdGeometry geometry = ManualGeometry(shape, smallest_);
    if (GeometryProblem(geometry)) return;
    for (const std::uint64_t start : kUsualVolumeStarts) {
      const std::uint64_t byte = start + kSuperblockByte;
      for (const MemberPlace& place : CopiesOf(geometry, byte / kSectorSize)) {
        const std::uint64_t memberByte = place.sector * kSectorSize + byte % kSectorSize;
        for (const FoundSuperblock& found : found_)
          if (order[place.role] == found.member && found.byte >= memberByte) offsets.insert(found.byte - memberByte);
      }
    }
    for (const std::uint64_t offset : offsets) {
      if (offset >= smallest_) continue;
      ManualArrayParameters parameters = shape;
      parameters.dataOffsetBytes = offset;
      ++result.tried;
      Weigh(parameters, order);
    }
  }

  void Weigh(const ManualArrayParameters& parameters, const std::vector<std::size_t>& order) {
    const MdGeometry geometry = ManualGeometry(parameters, smallest_ - parameters.dataOffsetBytes);
    if (GeometryProblem(geometry)) return;
    std::vector<std::size_t> roleOf(members_.size());
    for (std::size_t role = 0; role < order.size(); ++role) roleOf[order[role]] = role;
    std::unique_ptr<MdArraySource> array;
    std::set<std::uint64_t> starts;
    // Each volume counts once, where it holds together best: a copy of its superblock in
    // its journal may be read as a volume of its own a few stripes away.
    std::map<std::size_t, std::pair<TreeFit, std::uint64_t>> volumes;
    for (const FoundSuperblock& found : found_) {
      if (found.byte < parameters.dataOffsetBytes) continue;
      const std::uint64_t memberByte = found.byte - parameters.dataOffsetBytes;
      const auto sector = ArraySectorAt(geometry, static_cast<std::uint32_t>(roleOf[found.member]),
                                        memberByte / kSectorSize);
      if (!sector || *sector * kSectorSize < kSuperblockByte) continue;
      if (!OnEveryCopy(geometry, order, parameters.dataOffsetBytes, *sector, found)) continue;
      const std::uint64_t start = *sector * kSectorSize - kSuperblockByte;
      if (!starts.insert(start).second) continue;
      if (!array) {
        std::vector<std::optional<MemberContainer>> members;
        for (const std::size_t m : order) members.emplace_back(members_[m]);
        array = MakeManualArray(parameters, members, {});
        if (!array) return;
      }
      const TreeFit fit = FitVolumeTree(*array, start, found.superblock, limits_.blockBudget);
      if (fit.Score() <= 0) continue;
      auto [at, added] = volumes.try_emplace(found.volume, fit, start);
      if (!added && fit.Score() > at->second.first.Score()) at->second = {fit, start};
    }
    if (volumes.empty()) return;
    RaidCandidate candidate{parameters, 0, 0, 0, std::numeric_limits<std::uint64_t>::max(), false};
    for (const auto& [volume, best] : volumes) {
      candidate.inPlace += best.first.inPlace;
      candidate.amiss += best.first.amiss;
      candidate.score += best.first.Score();
      candidate.firstVolumeByte = std::min(candidate.firstVolumeByte, best.second);
    }
    candidate.startRecognised = candidate.firstVolumeByte == 0 || FindLvmLabel(*array).has_value();
    Keep(std::move(candidate));
  }

  // The copies of a mirror (RAID1, RAID10) hold the same bytes: a volume's superblock is at
  // each of its places.
  bool OnEveryCopy(const MdGeometry& geometry, const std::vector<std::size_t>& order, std::uint64_t dataOffset,
                   std::uint64_t arraySector, const FoundSuperblock& superblock) const {
    for (const MemberPlace& copy : CopiesOf(geometry, arraySector)) {
      const std::uint64_t byte = copy.sector * kSectorSize + dataOffset;
      const bool there = std::any_of(found_.begin(), found_.end(), [&](const FoundSuperblock& found) {
        return found.member == order[copy.role] && found.byte == byte && found.volume == superblock.volume;
      });
      if (!there) return false;
    }
    return true;
  }

  // Where a volume usually starts: at the array's start, or where a logical volume's extents do.
  static bool UsualStart(std::uint64_t byte) {
    return std::find(std::begin(kUsualVolumeStarts), std::end(kUsualVolumeStarts), byte) !=
           std::end(kUsualVolumeStarts);
  }

  // Better: a higher score; then an array that starts with a volume or an LVM2 label; then a
  // volume at a usual start; then the first volume nearer the
  // array's start (a data offset a few stripes short reads the same stripes after some
  // that come before the array's data).
  static bool Better(const RaidCandidate& a, const RaidCandidate& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.startRecognised != b.startRecognised) return a.startRecognised;
    if (UsualStart(a.firstVolumeByte) != UsualStart(b.firstVolumeByte)) return UsualStart(a.firstVolumeByte);
    return a.firstVolumeByte < b.firstVolumeByte;
  }

  void Keep(RaidCandidate candidate) {
    // Ties keep the guess tried first: the simpler array.
    const auto at = std::upper_bound(best_.begin(), best_.end(), candidate,
                                     [](const RaidCandidate& c, const RaidCandidate& b) { return Better(c, b); });
    if (static_cast<std::size_t>(at - best_.begin()) >= limits_.kept) return;
    best_.insert(at, std::move(candidate));
    if (best_.size() > limits_.kept) best_.pop_back();
  }

  const std::vector<MemberContainer>& members_;
  std::vector<FoundSuperblock> found_;
  std::set<std::uint64_t> fixedOffsets_;
  const RaidSearchLimits& limits_;
  std::uint64_t smallest_ = 0;
  std::vector<RaidCandidate> best_;
};

}  // namespace

std::string RaidSearchFoundNothing(const RaidSearchResult& result) {
  if (result.stopped) return "The raid search was stopped";
  if (result.members.size() < 2) return "The raid search needs the member disks: two or more";
  if (result.superblocksFound == 0) return "No array found: the members hold no ReiserFS superblock";
  return "No array found on which a ReiserFS volume holds together";
}

RaidSearchResult SearchRaidArrays(const DiskNameTable& names, std::size_t givenDisks, const StopToken& stop,
                                  RaidSearchProgress& progress, const RaidSearchLimits& limits) {
  RaidSearchResult result;
  std::vector<MemberContainer> members;
  for (std::size_t n = 0; n < givenDisks; ++n)
    if (auto member = LargestPartOf(names, givenDisks, n)) {
      result.members.push_back(member->label);
      members.push_back(std::move(*member));
    }
  if (members.size() < 2) return result;
  std::vector<FoundSuperblock> found;
  std::set<std::uint64_t> offsets;
  ScanMembers(members, limits, stop, progress, found, offsets);
  result.superblocksFound = static_cast<std::uint32_t>(found.size());
  NumberVolumes(found);
  if (found.empty() || stop.Requested()) {
    result.stopped = stop.Requested();
    return result;
  }
  Searcher searcher(members, std::move(found), std::move(offsets), limits);
  searcher.Run(stop, progress, result);
  result.candidates = searcher.Best();
  return result;
}

}  // namespace vantrel
