#include "support/ContainerFixtures.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "support/CliRunner.h"
#include "support/Fixtures.h"

namespace vantrel::test {

namespace fs = std::filesystem;

namespace {

struct Recipe {
  std::string first;    // the first file made
  std::string command;  // run in the folder, with IMG the raw image
};

const std::map<std::string, Recipe>& Recipes() {
  static const std::map<std::string, Recipe> recipes{
      {"E01", {"disk.E01", "ewfacquire -u -q -t disk -c deflate:fast -f encase6 -d sha1 \"$IMG\""}},
      {"E01-segments", {"disk.E01", "ewfacquire -u -q -t disk -c none -f encase6 -S 20MiB -d sha1 \"$IMG\""}},
      {"qcow2", {"disk.qcow2", "qemu-img convert -c -f raw -O qcow2 \"$IMG\" disk.qcow2"}},
      {"qcow2-plain", {"disk.qcow2", "qemu-img convert -f raw -O qcow2 \"$IMG\" disk.qcow2"}},
      {"qcow2-backed",
       {"disk.qcow2",
        "qemu-img convert -f raw -O qcow2 \"$IMG\" base.qcow2 && qemu-img create -q -f qcow2 -b base.qcow2 -F qcow2 "
        "disk.qcow2"}},
      {"vmdk-stream", {"disk.vmdk", "qemu-img convert -f raw -O vmdk -o subformat=streamOptimized \"$IMG\" disk.vmdk"}},
      {"vmdk-split",
       {"disk.vmdk", "qemu-img convert -f raw -O vmdk -o subformat=twoGbMaxExtentSparse \"$IMG\" disk.vmdk"}},
      {"vhdx", {"disk.vhdx", "qemu-img convert -f raw -O vhdx -o subformat=dynamic \"$IMG\" disk.vhdx"}},
      {"vhd", {"disk.vhd", "qemu-img convert -f raw -O vpc \"$IMG\" disk.vhd"}},
      {"vdi", {"disk.vdi", "qemu-img convert -f raw -O vdi \"$IMG\" disk.vdi"}},
      {"vdi-fixed", {"disk.vdi", "qemu-img convert -f raw -O vdi -o static=on \"$IMG\" disk.vdi"}},
      {"split-001", {"disk.001", "split -b 10M -d -a 3 --numeric-suffixes=1 \"$IMG\" disk."}},
      {"split-aa", {"disk.aa", "split -b 7M \"$IMG\" disk."}},
  };
  return recipes;
}

}  // namespace

std::string ContainerFixture(const std::string& name, const std::string& kind) {
  const auto recipe = Recipes().find(kind);
  if (recipe == Recipes().end()) throw std::invalid_argument("no container kind " + kind);
  const fs::path folder = fs::path(VANTREL_FIXTURE_CACHE_DIR) / "containers" / (name + "-" + kind);
  if (fs::exists(folder / recipe->second.first)) return (folder / recipe->second.first).string();
  const std::string image = FixtureImage(name);
  // Made aside and renamed into place: tests running side by side never see half a container.
  const fs::path making = folder.string() + ".making" + std::to_string(::getpid());
  fs::remove_all(making);
  fs::create_directories(making);
  const std::string command = "cd " + Quoted(making.string()) + " && IMG=" + Quoted(image) + " && " +
                              recipe->second.command + " >/dev/null 2>&1";
  FILE* run = ::popen(command.c_str(), "r");
  if (run == nullptr || ::pclose(run) != 0)
    throw std::runtime_error("cannot make the " + kind + " container of " + name + " (" + command + ")");
  std::error_code taken;
  fs::rename(making, folder, taken);
  if (taken) fs::remove_all(making);  // another test made it first
  return (folder / recipe->second.first).string();
}

}  // namespace vantrel::test
