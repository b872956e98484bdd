// The settings file: its key, its values and where it is found.

#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/TempDir.h"

namespace vantrel::test {
namespace {

TEST(SettingsStore, ReadsTheValuesUnderItsKeyOnly) {
  TempDir dir;
  std::ofstream(dir / "s.conf") << "[Other]\nFilePath=/wrong\n[VantrelOrgReiserFS]\n# comment\n"
                                   "FilePath = /opt/vantrel \nLngFile=GermanA.dat\n";
  const SettingsStore store = SettingsStore::Load((dir / "s.conf").string());
  EXPECT_EQ(store.Read("FilePath"), "/opt/vantrel");
  EXPECT_EQ(store.Read("LngFile"), "GermanA.dat");
  EXPECT_EQ(store.Read("Missing"), "");
  EXPECT_EQ(SettingsStore::Load((dir / "none.conf").string()).Read("FilePath"), "");
}

TEST(SettingsStore, TheFileBesideTheProgramComesAfterTheEnvironment) {
  TempDir dir;
  std::ofstream(dir / kSettingsFileName) << "[VantrelOrgReiserFS]\n";
  std::ofstream(dir / "chosen.conf") << "[VantrelOrgReiserFS]\n";
  ::unsetenv("VANTREL_SETTINGS");
  EXPECT_EQ(SettingsStore::Locate(dir.Path().string()), (dir / kSettingsFileName).string());
  ::setenv("VANTREL_SETTINGS", (dir / "chosen.conf").c_str(), 1);
  EXPECT_EQ(SettingsStore::Locate(dir.Path().string()), (dir / "chosen.conf").string());
  ::unsetenv("VANTREL_SETTINGS");
}

}  // namespace
}  // namespace vantrel::test
