#include "support/Fixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zstd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "saving/SafeName.h"

namespace vantrel::test {

namespace fs = std::filesystem;

namespace {

// Writes the unpacked content of a zstd file to out.
void DecompressTo(const fs::path& from, std::ostream& out) {
  std::ifstream in(from, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + from.string());
  ZSTD_DStream* stream = ZSTD_createDStream();
  std::vector<char> input(ZSTD_DStreamInSize());
  std::vector<char> output(ZSTD_DStreamOutSize());
  while (in) {
    in.read(input.data(), static_cast<std::streamsize>(input.size()));
    ZSTD_inBuffer source{input.data(), static_cast<std::size_t>(in.gcount()), 0};
    while (source.pos < source.size) {
      ZSTD_outBuffer sink{output.data(), output.size(), 0};
      const std::size_t result = ZSTD_decompressStream(stream, &sink, &source);
      if (ZSTD_isError(result)) {
        ZSTD_freeDStream(stream);
        throw std::runtime_error("cannot unpack " + from.string());
      }
      out.write(output.data(), static_cast<std::streamsize>(sink.pos));
    }
  }
  ZSTD_freeDStream(stream);
}

void Decompress(const fs::path& from, const fs::path& to) {
  const fs::path partial = to.string() + ".part" + std::to_string(::getpid());
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  DecompressTo(from, out);
  out.close();
  fs::rename(partial, to);  // atomic: tests running side by side never see half a file
}

// Unpacks `packed` into the fixture cache as `fileName` unless a copy of the right size is there.
std::string UnpackedOnce(const fs::path& packed, const std::string& fileName, std::uintmax_t expectedSize) {
  const fs::path cache(VANTREL_FIXTURE_CACHE_DIR);
  const fs::path image = cache / fileName;
  std::error_code error;
  if (!fs::exists(image) || fs::file_size(image, error) != expectedSize) {
    fs::create_directories(cache);
    Decompress(packed, image);
  }
  return image.string();
}

}  // namespace

nlohmann::json FixtureManifest(const std::string& name) {
  // Kept compressed like the images: they list the disks' own file names and contents.
  std::ostringstream text;
  DecompressTo(fs::path(VANTREL_TEST_DATA_DIR) / (name + ".manifest.json.zst"), text);
  return nlohmann::json::parse(text.str());
}

std::string FixtureImage(const std::string& name) {
  const auto expected = FixtureManifest(name)["image"]["size_bytes"].get<std::uintmax_t>();
  return UnpackedOnce(fs::path(VANTREL_TEST_DATA_DIR) / (name + ".img.zst"), name + ".img", expected);
}

std::vector<std::string> FixtureMemberImages(const std::string& name) {
  std::vector<std::string> images;
  const nlohmann::json manifest = FixtureManifest(name);
  for (const auto& disk : manifest["disks"]) {
    const std::string file = disk["file"];  // "NAME-0.img.zst"
    const std::string unpacked = file.substr(0, file.size() - 4);
    images.push_back(
        UnpackedOnce(fs::path(VANTREL_TEST_DATA_DIR) / file, unpacked, disk["size_bytes"].get<std::uintmax_t>()));
  }
  return images;
}

nlohmann::json CarveFixtureManifest(const std::string& name) {
  std::ifstream in(fs::path(VANTREL_TEST_DATA_DIR) / "carve" / (name + ".json"));
  if (!in) throw std::runtime_error("missing carve manifest " + name);
  return nlohmann::json::parse(in);
}

std::string CarveFixtureImage(const std::string& name) {
  const auto expected = CarveFixtureManifest(name)["size_bytes"].get<std::uintmax_t>();
  return UnpackedOnce(fs::path(VANTREL_TEST_DATA_DIR) / "carve" / (name + ".img.zst"), name + ".img", expected);
}

nlohmann::json ManifestPartition(const nlohmann::json& manifest, int index) {
  for (const auto& partition : manifest["partitions"])
    if (partition["index"].get<int>() == index) return partition;
  throw std::runtime_error("no partition " + std::to_string(index));
}

std::string SavedPath(const std::string& manifestPath) {
  std::string path;
  std::size_t from = 0;
  for (std::size_t to; (to = manifestPath.find('/', from)) != std::string::npos; from = to + 1)
    path += HoldableName(manifestPath.substr(from, to - from)) + "/";
  return path + HoldableName(manifestPath.substr(from));
}

}  // namespace vantrel::test
