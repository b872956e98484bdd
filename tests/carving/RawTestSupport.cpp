#include "carving/RawTestSupport.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/ControlIds.h"
#include "app/RawRecoveryPanel.h"
#include "app/RawRecoveryPanel.h"

namespace vantrel::test {

using namespace std::string_literals;

void SetUpPanel(WizardState& state, HeadlessWindow& window, const CarveRequest& request) {
  SetUpRawRecoveryLists(window);
  for (const RawFileKind kind : request.kinds)
    window.ListSetRowChecked(control::kRawFileTypesList, static_cast<std::size_t>(KindIndex(kind)), true);
  if (request.start || request.end) {
    ChooseSectorRange(state);
    if (request.start) window.SetControlText(control::kRawStartSector, std::to_string(*request.start));
    if (request.end) window.SetControlText(control::kRawEndSector, std::to_string(*request.end));
  } else {
    ChooseEntireDisk(state);
  }
  window.AnswerDestinationWith(request.destination.string());
  state.rawRecovery.exactSizes = request.exactSizes;
}

bool Carve(WizardState& state, HeadlessWindow& window, const CarveRequest& request) {
  SetUpPanel(state, window, request);
  if (!StartRawRecovery(state)) return false;
  RunRawRecovery(state);
  return true;
}

std::string OleHeader() { return std::string(SignatureTable()[0].header); }
std::string ZipHeader() { return std::string(SignatureTable()[5].header); }
std::string Marker(RawEndMarker marker) { return std::string(EndMarkerBytes(marker)); }

void Put(MemoryDiskSource& disk, std::uint64_t offset, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint64_t at = offset + i;
    disk.Sector(at / 512)[at % 512] = static_cast<std::byte>(bytes[i]);
  }
}

std::vector<std::byte> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::byte> bytes(chars.size());
  std::memcpy(bytes.data(), chars.data(), chars.size());
  return bytes;
}

std::vector<std::byte> ImageBytes(const std::string& image, std::uint64_t offset, std::uint64_t length) {
  std::ifstream in(image, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<std::byte> bytes(length);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  bytes.resize(length);  // past the image's end: zeros, as the disk reads there
  return bytes;
}

std::vector<std::byte> SectorsThenZeros(const std::string& image, std::uint64_t first, std::uint64_t count,
                                        std::uint64_t size) {
  auto bytes = ImageBytes(image, first * 512, count * 512);
  bytes.resize(size);
  return bytes;
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vantrel::test
