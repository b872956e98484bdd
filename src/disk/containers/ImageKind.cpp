#include "disk/containers/ImageKind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <string_view>

#include "disk/containers/SplitPieces.h"

namespace vantrel {

namespace {

constexpr std::size_t kHeadBytes = 64;
constexpr std::size_t kVdiSignatureAt = 64;
constexpr std::size_t kVhdFooterBytes = 512;

bool Starts(const std::array<char, kHeadBytes>& head, std::string_view signature) {
  return std::memcmp(head.data(), signature.data(), signature.size()) == 0;
}

bool ReadAt(int fd, off_t offset, char* into, std::size_t bytes) {
  return ::pread(fd, into, bytes, offset) == static_cast<ssize_t>(bytes);
}

}  // namespace

ImageKind DetectImageKind(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ImageKind::Raw;
  struct stat info {};
  std::array<char, kHeadBytes> head{};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  const bool headRead = regular && ReadAt(fd, 0, head.data(), head.size());
  std::array<char, 4> vdiSignature{};
  const bool vdi = regular && ReadAt(fd, kVdiSignatureAt, vdiSignature.data(), vdiSignature.size()) &&
                   std::memcmp(vdiSignature.data(), "\x7f\x10\xda\xbe", 4) == 0;
  // A fixed VHD is the raw disk followed by its footer.
  std::array<char, 8> footer{};
  const bool footerRead = regular && info.st_size >= static_cast<off_t>(kVhdFooterBytes) &&
                          ReadAt(fd, info.st_size - static_cast<off_t>(kVhdFooterBytes), footer.data(), footer.size());
  ::close(fd);
  if (!regular) return ImageKind::Raw;
  if (headRead) {
    if (Starts(head, std::string_view("EVF\x09\x0d\x0a\xff\x00", 8))) return ImageKind::ExpertWitness;
    if (Starts(head, "QFI\xfb")) return ImageKind::Qcow;
    if (Starts(head, "KDMV") || Starts(head, "COWD") || Starts(head, "# Disk DescriptorFile")) return ImageKind::Vmdk;
    if (Starts(head, "vhdxfile")) return ImageKind::Vhdx;
    if (Starts(head, "conectix")) return ImageKind::Vhd;
    if (vdi) return ImageKind::Vdi;
  }
  if (footerRead && std::memcmp(footer.data(), "conectix", footer.size()) == 0) return ImageKind::Vhd;
  if (SplitPieces(path).size() > 1) return ImageKind::SplitRaw;
  return ImageKind::Raw;
}

std::string ImageKindName(ImageKind kind) {
  switch (kind) {
    case ImageKind::Raw: return "raw";
    case ImageKind::ExpertWitness: return "Expert Witness (E01)";
    case ImageKind::Qcow: return "qcow";
    case ImageKind::Vmdk: return "VMDK";
    case ImageKind::Vhd: return "VHD";
    case ImageKind::Vhdx: return "VHDX";
    case ImageKind::SplitRaw: return "split raw";
    case ImageKind::Vdi: return "VDI";
  }
  return "raw";
}

}  // namespace vantrel
