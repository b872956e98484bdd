#pragma once
// Running raw recovery in tests: the panel set up as a user would set it, crafted disks
// with bytes put at chosen places, and the bytes of carved files and images.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "carving/RawSignatures.h"
#include "support/MemoryDiskSource.h"
#include "support/TestWizard.h"

namespace vantrel::test {

struct CarveRequest {
  std::filesystem::path destination;
  std::vector<RawFileKind> kinds{RawFileKind::Word, RawFileKind::Excel, RawFileKind::PowerPoint, RawFileKind::Zip};
  bool exactSizes = false;
  std::optional<std::uint64_t> start{};  // with end: a sector range
  std::optional<std::uint64_t> end{};
};

// Sets up the raw panel (kind list, range, destination answer, option).
void SetUpPanel(WizardState& state, HeadlessWindow& window, const CarveRequest& request);
// Sets up the panel and presses Start; runs the worker when the start was accepted.
// True when it ran.
bool Carve(WizardState& state, HeadlessWindow& window, const CarveRequest& request);

// Bytes of the signatures and end markers, as in the table.
std::string OleHeader();
std::string ZipHeader();
std::string Marker(RawEndMarker marker);

// Writes `bytes` into a memory disk at absolute byte `offset`.
void Put(MemoryDiskSource& disk, std::uint64_t offset, std::string_view bytes);

std::vector<std::byte> FileBytes(const std::filesystem::path& path);
std::vector<std::byte> ImageBytes(const std::string& image, std::uint64_t offset, std::uint64_t length);
// The disk's sectors [first, first + count) followed by zeros up to `size` bytes.
std::vector<std::byte> SectorsThenZeros(const std::string& image, std::uint64_t first, std::uint64_t count,
                                        std::uint64_t size);

// The names of the files in a folder, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);

}  // namespace vantrel::test

namespace vantrel::test {
inline bool Carve(TestWizard& wizard, const CarveRequest& request) {
  return Carve(wizard.state, wizard.window, request);
}
}  // namespace vantrel::test
