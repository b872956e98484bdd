#pragma once
// The disk images in tests/data, unpacked on first use, and their manifests.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace vantrel::test {

// Path of the unpacked image NAME.img (from tests/data/NAME.img.zst).
std::string FixtureImage(const std::string& name);
// The member disks of a fixture of several disks (tests/data/NAME-0.img.zst, ...), unpacked,
// in the manifest's order.
std::vector<std::string> FixtureMemberImages(const std::string& name);
// The manifest NAME.manifest.json (kept as NAME.manifest.json.zst).
nlohmann::json FixtureManifest(const std::string& name);
// The raw recovery images in tests/data/carve: NAME.img unpacked from NAME.img.zst, and
// the manifest NAME.json (placed files, headers and end markers).
std::string CarveFixtureImage(const std::string& name);
nlohmann::json CarveFixtureManifest(const std::string& name);
// The partition of a manifest whose Linux number is index.
nlohmann::json ManifestPartition(const nlohmann::json& manifest, int index);
// Where saving puts a manifest path below a destination that holds every name (each part
// made holdable).
std::string SavedPath(const std::string& manifestPath);

}  // namespace vantrel::test
