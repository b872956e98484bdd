// Logs and listings written as the catalogue is walked: the bytes are those of the whole
// file made at once, however the writing buffer drains, and a write that fails midway is
// reported and never replaces an older file.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/ByteCursor.h"
#include "base/FdOutput.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"
#include "support/TempDir.h"

namespace vantrel {
namespace {

// A catalogue big enough that its log passes through the writing buffer many times.
Catalogue ManyFiles() {
  Catalogue catalogue;
  AppendFolder(catalogue, kLostFolderName, kLostFolderId, 0, 0, 0, 0);
  for (std::uint32_t i = 0; i < 20000; ++i) {
    AppendFile(catalogue, "message-" + std::to_string(i), 100 + i, 2, i, i * 3ull << 20, 0).folderId = 2;
    const ObjectRecord& record = catalogue.objectList.Append({.objectId = 100 + i, .dirId = 2}, "m");
    catalogue.objectList.AddPiece(record, {.block = i, .location = 48, .length = 8, .offset = 1});
  }
  catalogue.objectList.GroupPieces();
  return catalogue;
}

TEST(StreamedOutput, ByteWriterGivesTheSameBytesToAStreamAsToItsString) {
  std::ostringstream stream;
  ByteWriter streamed(stream);
  ByteWriter held;
  for (std::uint32_t i = 0; i < 100000; ++i) {
    for (ByteWriter* out : {&streamed, &held}) {
      out->U32(i);
      out->Text("x");
      out->U64(i * 7ull);
    }
  }
  ASSERT_TRUE(streamed.Flush());
  EXPECT_EQ(streamed.Size(), held.Size());
  EXPECT_TRUE(stream.str() == held.Data());
}

TEST(StreamedOutput, RecoveryLogWrittenToAFileIsTheEncodedLog) {
  const Catalogue catalogue = ManyFiles();
  const RecoveryLogHead head{"disk", 2, 2, 0, {8, 16}};
  const std::vector<LoggedPartition> partitions{{8, 16}};
  test::TempDir dir;
  const std::string path = (dir / "LOG.SAV").string();
  ASSERT_EQ(WriteRecoveryLogFile(path,
                                 [&](std::ostream& out) { return WriteRecoveryLog(out, head, partitions, catalogue); }),
            LogWriteResult::Written);
  const auto written = ReadRecoveryLogFile(path);
  ASSERT_TRUE(written);
  EXPECT_TRUE(*written == EncodeRecoveryLog(head, partitions, catalogue));
  const auto log = DecodeRecoveryLog(ByteSpan(reinterpret_cast<const std::byte*>(written->data()), written->size()));
  ASSERT_TRUE(log);
  EXPECT_EQ(log->catalogue.fileList.size(), 20000u);
  EXPECT_EQ(log->catalogue.fileList[19999].size, 19999 * 3ull << 20);
}

TEST(StreamedOutput, ALogWhoseWritingFailsKeepsTheOlderOne) {
  test::TempDir dir;
  const std::string path = (dir / "LOG.SAV").string();
  ASSERT_EQ(WriteRecoveryLogFile(path, std::string("older")), LogWriteResult::Written);
  const auto failing = [](std::ostream& out) {
    out << "half a log";
    return false;
  };
  EXPECT_EQ(WriteRecoveryLogFile(path, failing), LogWriteResult::WriteFailed);
  EXPECT_EQ(ReadRecoveryLogFile(path), "older");
  EXPECT_FALSE(std::ifstream(path + ".partial").good());
  // A stream that fails under the writer is reported as well.
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  EXPECT_FALSE(WriteRecoveryLog(broken, {"disk", 1, 1, 0, {8, 16}}, {}, ManyFiles()));
}

TEST(StreamedOutput, DescriptorStreamReportsBytesThatNeverReachedTheFile) {
  const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  FdOutput out(fd);
  out << std::string(1 << 17, 'x');
  EXPECT_FALSE(out.Close());
}

}  // namespace
}  // namespace vantrel
