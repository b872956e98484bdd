// vantrel-cli meeting an allocation failure anywhere in a save: "Out Of Memory" on standard
// error, exit status 6, never a crash, and no file left partial in the destination.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(CliOutOfMemory, AllocationFailureAnywhereInASaveEndsItCleanly) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' own allocator must come first";
#endif
  const std::string save = "--disk " + Quoted(FixtureImage("mbr-mixed")) + " save --out ";
  const std::string preload = std::string("LD_PRELOAD=") + Quoted(VANTREL_FAILING_NEW_PATH);
  TempDir dir;
  const CliRun counted = RunCliWithEnvironment(preload + " VANTREL_COUNT_NEW_TO=" + Quoted((dir / "count").string()),
                                               save + Quoted((dir / "whole").string()));
  ASSERT_EQ(counted.exitCode, 0) << counted.err;
  long calls = 0;
  std::ifstream(dir / "count") >> calls;
  ASSERT_GT(calls, 1000);

  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  // Failures spread over the run, from the arguments to the last file.
  for (long k = 1; k <= 12; ++k) {
    const long at = calls * k / 13;
    const fs::path out = dir / ("out" + std::to_string(k));
    const CliRun run = RunCliWithEnvironment(preload + " VANTREL_FAIL_NEW_AT=" + std::to_string(at),
                                             save + Quoted(out.string()));
    // A failure the library answers itself (a sort's scratch buffer) lets the run go on.
    ASSERT_TRUE(run.exitCode == 6 || run.exitCode == 0) << "failure at call " << at << ": " << run.err;
    if (run.exitCode == 6) {
      EXPECT_TRUE(run.err.ends_with("vantrel-cli: Out Of Memory\n")) << run.err;
    }
    for (const auto& entry : partition["entries"]) {
      const fs::path saved = out / SavedPath(entry["path"]);
      if (entry["kind"] != "file" || !fs::exists(saved)) continue;
      EXPECT_EQ(Sha256OfFile(saved.string()), entry["sha256"]) << entry["path"] << " after a failure at call " << at;
    }
  }
}

}  // namespace
}  // namespace vantrel::test
