#include "logs/RecoveryLogFormat.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "base/ByteCursor.h"

namespace vantrel {

namespace {

// The record length field holds the name length + 17, four less than the record's size.
constexpr std::uint32_t kRecordLengthBase = 17;
constexpr std::size_t kEntryFixedBytes = 21;     // length, parentId, objectId, size, time, typeCode
constexpr std::size_t kObjectFixedBytes = 28;    // length, dirId, objectId, size, time, mode, piece count
constexpr std::size_t kPieceBytes = 12;          // block, length, location
constexpr std::size_t kPartitionBytes = 8;
constexpr std::uint8_t kMaxLoggedPartitions = std::numeric_limits<std::uint8_t>::max();
constexpr std::uint16_t kAdvancedSearchType = 2;

constexpr std::string_view kExtensionMagic = "VTRLEXT1";
constexpr std::string_view kPartitionSection = "PART";  // selected, then each partition: size, start (u64)
constexpr std::string_view kFolderSection = "FOLD";     // per folder entry: folderId (u32), size (u64)
constexpr std::string_view kFileSection = "FILE";       // per file entry: the same
// Per stored object: folderId (u32), size (u64), one file position (u64) per piece, then the
// direct-item piece count (u32) and per piece block, location, length (u32) and position (u64).
constexpr std::string_view kObjectSection = "OBJS";
constexpr std::size_t kTailPieceBytes = 20;
// The last section, empty: an extension without it was cut short.
constexpr std::string_view kEndSection = "END.";
// Empty: the catalogue's build was stopped before it was done.
constexpr std::string_view kStoppedSection = "STOP";
// The journal's transactions the build replayed in memory (u32); only when it replayed some.
constexpr std::string_view kJournalSection = "JRNL";

std::uint32_t Low(std::uint64_t value) { return static_cast<std::uint32_t>(value); }

std::string_view LoggedName(std::string_view name) { return name.substr(0, kMaxLoggedNameLength); }

// ---- Writing ----

void WriteName(ByteWriter& out, std::string_view name) {
  out.U32(static_cast<std::uint32_t>(name.size()) + kRecordLengthBase);
  out.Text(name);
}

void WriteEntries(ByteWriter& out, const Catalogue& catalogue, const EntryList& entries) {
  out.U32(static_cast<std::uint32_t>(entries.size()));
  for (const CatalogueEntry& entry : entries) {
    WriteName(out, LoggedName(catalogue.Name(entry)));
    out.U32(entry.parentId);
    out.U32(entry.objectId);
    out.U32(Low(entry.size));
    out.U32(entry.modificationTime);
    out.U8(entry.typeCode);
  }
}

void WriteObjects(ByteWriter& out, const ObjectList& objects) {
  out.U32(static_cast<std::uint32_t>(objects.Size()));
  for (const ObjectRecord& record : objects.Records()) {
    WriteName(out, LoggedName(objects.Name(record)));
    out.U32(record.dirId);
    out.U32(record.objectId);
    out.U32(Low(record.size));
    out.U32(record.modificationTime);
    out.U32(record.mode);
    out.U32(record.pieceCount);
    for (const BodyPiece& piece : objects.Pieces(record)) {
      out.U32(piece.block);
      out.U32(piece.length);
      out.U32(piece.location);
    }
  }
}

// A section whose payload length is known before it is written, so that nothing has to
// be held back for a length filled in afterwards.
template <typename Fn>
void WriteSection(ByteWriter& out, std::string_view tag, std::uint64_t length, Fn payload) {
  out.Text(tag);
  out.U32(static_cast<std::uint32_t>(length));
  payload();
}

std::uint64_t ObjectSectionLength(const ObjectList& objects) {
  std::uint64_t length = 0;
  for (const ObjectRecord& record : objects.Records())
    length += 4 + 8 + 8 * std::uint64_t{record.pieceCount} + 4 + kTailPieceBytes * std::uint64_t{record.tailPieceCount};
  return length;
}

void WriteExtension(ByteWriter& out, const RecoveryLogHead& head, std::span<const LoggedPartition> partitions,
                    const Catalogue& catalogue) {
  out.Text(kExtensionMagic);
  WriteSection(out, kPartitionSection, 16 * (partitions.size() + 1), [&] {
    out.U64(head.selected.size);
    out.U64(head.selected.start);
    for (const LoggedPartition& partition : partitions) {
      out.U64(partition.size);
      out.U64(partition.start);
    }
  });
  const auto entries = [&](const EntryList& list) {
    for (const CatalogueEntry& entry : list) {
      out.U32(entry.folderId);
      out.U64(entry.size);
    }
  };
  WriteSection(out, kFolderSection, 12 * catalogue.folderList.size(), [&] { entries(catalogue.folderList); });
  WriteSection(out, kFileSection, 12 * catalogue.fileList.size(), [&] { entries(catalogue.fileList); });
  const ObjectList& objects = catalogue.objectList;
  if (head.fileSearchType == kAdvancedSearchType) WriteSection(out, kObjectSection, ObjectSectionLength(objects), [&] {
    for (const ObjectRecord& record : objects.Records()) {
      out.U32(record.folderId);
      out.U64(record.size);
      for (const BodyPiece& piece : objects.Pieces(record)) out.U64(piece.offset);
      out.U32(record.tailPieceCount);
      for (const BodyPiece& piece : objects.TailPieces(record)) {
        out.U32(piece.block);
        out.U32(piece.location);
        out.U32(piece.length);
        out.U64(piece.offset);
      }
    }
  });
  if (catalogue.stopped) WriteSection(out, kStoppedSection, 0, [] {});
  if (catalogue.journal.outcome == JournalOutcome::Replayed)
    WriteSection(out, kJournalSection, 4, [&] { out.U32(catalogue.journal.transactions); });
  WriteSection(out, kEndSection, 0, [] {});
}

// ---- Reading ----

// Where the pieces of one stored object went: objects stored twice under the same ids
// share one record.
struct StoredObject {
  std::size_t record;
  std::size_t firstPiece;
  std::uint32_t pieceCount;
  std::uint32_t size;
};

// A count of records of at least recordBytes each that must fit in what remains.
bool CountFits(const ByteReader& in, std::uint64_t count, std::size_t recordBytes) {
  return in.Ok() && count <= in.Remaining() / recordBytes;
}

std::optional<std::string> ReadName(ByteReader& in) {
  const std::uint32_t length = in.U32();
  if (!in.Ok() || length < kRecordLengthBase || length - kRecordLengthBase > kMaxLoggedNameLength) return std::nullopt;
  std::string name = in.Text(length - kRecordLengthBase);
  if (!in.Ok()) return std::nullopt;
  return name;
}

std::optional<std::string> ReadDiskModel(ByteReader& in) {
  in.Skip(kRecoveryLogHeader.size());  // the text is not checked: the fields are
  const std::uint32_t modelLength = in.U32();
  if (!in.Ok() || modelLength > in.Remaining()) return std::nullopt;
  return in.Text(modelLength);
}

bool ReadHead(ByteReader& in, RecoveryLogHead& head) {
  auto model = ReadDiskModel(in);
  if (!model) return false;
  head.diskModel = std::move(*model);
  head.recoveryMode = in.U8();
  head.fileSearchType = in.U16();
  head.diskIndex = in.U8();
  head.selected.size = in.U32();
  head.selected.start = in.U32();
  const bool knownMode = head.recoveryMode == 1 || head.recoveryMode == 2;
  const bool knownSearch = head.fileSearchType == 1 || head.fileSearchType == kAdvancedSearchType;
  return in.Ok() && knownMode && knownSearch;
}

bool ReadPartitions(ByteReader& in, std::vector<LoggedPartition>& partitions) {
  const std::uint8_t count = in.U8();
  if (!CountFits(in, count, kPartitionBytes)) return false;
  for (std::uint8_t i = 0; i < count; ++i) {
    const std::uint32_t size = in.U32();
    const std::uint32_t start = in.U32();
    partitions.push_back({size, start});
  }
  return in.Ok();
}

bool ReadObjects(ByteReader& in, ObjectList& objects, std::vector<StoredObject>& stored) {
  const std::uint32_t count = in.U32();
  if (!CountFits(in, count, kObjectFixedBytes)) return false;
  std::vector<std::uint32_t> piecesAdded;  // per record
  for (std::uint32_t i = 0; i < count; ++i) {
    auto name = ReadName(in);
    const std::uint32_t dirId = in.U32();
    const std::uint32_t objectId = in.U32();
    const std::uint32_t size = in.U32();
    const std::uint32_t time = in.U32();
    const std::uint32_t mode = in.U32();
    const std::uint32_t pieceCount = in.U32();
    if (!name || !CountFits(in, pieceCount, kPieceBytes)) return false;
    ObjectRecord* record = objects.Find(objectId, dirId);
    if (record == nullptr) {
      record = &objects.Append({.objectId = objectId, .dirId = dirId}, *name);
      piecesAdded.push_back(0);
    }
    record->modificationTime = time;
    record->size = size;
    record->mode = mode;
    const std::size_t index = objects.IndexOf(*record);
    stored.push_back({index, piecesAdded[index], pieceCount, size});
    piecesAdded[index] += pieceCount;
    for (std::uint32_t p = 0; p < pieceCount; ++p) {
      BodyPiece piece;
      piece.block = in.U32();
      piece.length = in.U32();
      piece.location = in.U32();
      objects.AddPiece(*record, piece);
    }
  }
  objects.GroupPieces();
  return in.Ok();
}

template <typename AppendFn>
bool ReadEntries(ByteReader& in, AppendFn append) {
  const std::uint32_t count = in.U32();
  if (!CountFits(in, count, kEntryFixedBytes)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto name = ReadName(in);
    const std::uint32_t parentId = in.U32();
    const std::uint32_t objectId = in.U32();
    const std::uint32_t size = in.U32();
    const std::uint32_t time = in.U32();
    const std::uint8_t typeCode = in.U8();
    if (!name || !in.Ok()) return false;
    append(*name, objectId, parentId, time, size, typeCode).folderId = parentId;
  }
  return true;
}

// The full 64-bit value of a field whose low half the plain part holds; it must agree.
bool ReadWide(ByteReader& in, std::uint64_t& value) {
  const std::uint64_t wide = in.U64();
  if (!in.Ok() || Low(wide) != Low(value)) return false;
  value = wide;
  return true;
}

bool ReadPartitionSection(ByteReader& in, RecoveryLog& log) {
  if (!ReadWide(in, log.head.selected.size) || !ReadWide(in, log.head.selected.start)) return false;
  for (LoggedPartition& partition : log.partitions)
    if (!ReadWide(in, partition.size) || !ReadWide(in, partition.start)) return false;
  return true;
}

bool ReadEntrySection(ByteReader& in, EntryList& entries) {
  for (CatalogueEntry& entry : entries) {
    entry.folderId = in.U32();
    if (!ReadWide(in, entry.size)) return false;
  }
  return true;
}

bool ReadObjectSection(ByteReader& in, ObjectList& objects, const std::vector<StoredObject>& stored) {
  for (const StoredObject& object : stored) {
    ObjectRecord& record = objects[object.record];
    record.folderId = in.U32();
    std::uint64_t size = object.size;
    if (!ReadWide(in, size)) return false;
    record.size = size;
    const auto pieces = objects.PiecesToFill(record).subspan(object.firstPiece, object.pieceCount);
    for (BodyPiece& piece : pieces) piece.offset = in.U64();
    const std::uint32_t tailCount = in.U32();
    if (!CountFits(in, tailCount, kTailPieceBytes)) return false;
    for (std::uint32_t t = 0; t < tailCount; ++t) {
      BodyPiece piece;
      piece.block = in.U32();
      piece.location = in.U32();
      piece.length = in.U32();
      piece.offset = in.U64();
      objects.AddTailPiece(record, piece);
    }
  }
  objects.GroupPieces();
  return in.Ok();
}

bool ReadJournalSection(ByteReader& in, JournalState& journal) {
  journal.transactions = in.U32();
  journal.outcome = JournalOutcome::Replayed;
  return in.Ok() && journal.transactions != 0;
}

bool ReadExtension(ByteReader& in, RecoveryLog& log, const std::vector<StoredObject>& stored) {
  in.Skip(kExtensionMagic.size());
  while (in.Ok()) {
    const std::string tag = in.Text(4);
    const std::uint32_t length = in.U32();
    ByteReader section(in.Take(length));
    if (!in.Ok()) return false;
    bool read = true;
    if (tag == kEndSection)
      return true;
    else if (tag == kPartitionSection)
      read = ReadPartitionSection(section, log);
    else if (tag == kFolderSection)
      read = ReadEntrySection(section, log.catalogue.folderList);
    else if (tag == kFileSection)
      read = ReadEntrySection(section, log.catalogue.fileList);
    else if (tag == kObjectSection)
      read = ReadObjectSection(section, log.catalogue.objectList, stored);
    else if (tag == kStoppedSection)
      log.catalogue.stopped = true;
    else if (tag == kJournalSection)
      read = ReadJournalSection(section, log.catalogue.journal);
    else
      continue;  // a section of a later version
    if (!read || !section.AtEnd()) return false;
  }
  return false;
}

}  // namespace

bool WriteRecoveryLog(std::ostream& file, const RecoveryLogHead& head, std::span<const LoggedPartition> partitions,
                      const Catalogue& catalogue) {
  partitions = partitions.first(std::min<std::size_t>(partitions.size(), kMaxLoggedPartitions));
  ByteWriter out(file);
  out.Text(kRecoveryLogHeader);
  out.U32(static_cast<std::uint32_t>(head.diskModel.size()));
  out.Text(head.diskModel);
  out.U8(head.recoveryMode);
  out.U16(head.fileSearchType);
  out.U8(head.diskIndex);
  out.U32(Low(head.selected.size));
  out.U32(Low(head.selected.start));
  out.U8(static_cast<std::uint8_t>(partitions.size()));
  for (const LoggedPartition& partition : partitions) {
    out.U32(Low(partition.size));
    out.U32(Low(partition.start));
  }
  out.Bytes(catalogue.currentSuperblock.Encode());
  if (head.fileSearchType == kAdvancedSearchType) WriteObjects(out, catalogue.objectList);
  WriteEntries(out, catalogue, catalogue.folderList);
  WriteEntries(out, catalogue, catalogue.fileList);
  WriteExtension(out, head, partitions, catalogue);
  return out.Flush();
}

std::string EncodeRecoveryLog(const RecoveryLogHead& head, std::span<const LoggedPartition> partitions,
                              const Catalogue& catalogue) {
  std::ostringstream file;
  WriteRecoveryLog(file, head, partitions, catalogue);
  return std::move(file).str();
}

std::optional<std::string> DecodeLogDiskModel(ByteSpan file) {
  ByteReader in(file);
  return ReadDiskModel(in);
}

Catalogue LoadedCatalogue(Catalogue catalogue) {
  catalogue.folderCount = static_cast<std::uint32_t>(catalogue.folderList.size());
  catalogue.fileCount = static_cast<std::uint32_t>(catalogue.fileList.size());
  catalogue.statDataCount = 0;
  catalogue.objectCount = 0;
  return catalogue;
}

std::optional<RecoveryLog> DecodeRecoveryLog(ByteSpan file) {
  RecoveryLog log;
  ByteReader in(file);
  if (!ReadHead(in, log.head) || !ReadPartitions(in, log.partitions)) return std::nullopt;
  const auto superblock = ReiserSuperblock::Decode(in.Take(kSuperblockSize));
  if (!superblock) return std::nullopt;
  Catalogue& catalogue = log.catalogue;
  catalogue.currentSuperblock = *superblock;
  std::vector<StoredObject> stored;
  if (log.head.fileSearchType == kAdvancedSearchType && !ReadObjects(in, catalogue.objectList, stored))
    return std::nullopt;
  const auto appendFolder = [&](auto&&... fields) -> CatalogueEntry& { return AppendFolder(catalogue, fields...); };
  const auto appendFile = [&](auto&&... fields) -> CatalogueEntry& { return AppendFile(catalogue, fields...); };
  if (!ReadEntries(in, appendFolder) || !ReadEntries(in, appendFile)) return std::nullopt;
  if (in.LooksAt(kExtensionMagic) && !ReadExtension(in, log, stored)) return std::nullopt;
  return log;
}

}  // namespace vantrel
