#include "saving/KeptAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr std::uint32_t kSetIdBits = 06000;
constexpr std::uint32_t kAccessBits = 0777;

}  // namespace

void AttributeKeeper::Apply(int fd, const std::filesystem::path& path, const CatalogueEntry& entry,
                            const EntryAttributes* attributes) const {
  const bool known = entry.HasStatDetails();
  if (!known && (preserve_.Has(Kept::Ownership) || preserve_.Has(Kept::Mode))) ++notKept_.unknown;
  const bool ownerKept = known && preserve_.Has(Kept::Ownership) && KeepOwner(fd, path, entry);
  if (preserve_.Has(Kept::Xattr) && attributes != nullptr) KeepAttributes(fd, path, *attributes);
  if (entry.mode != kNotSeen && entry.Kind() != EntryKind::Symlink) KeepMode(fd, path, entry, ownerKept);
  KeepTimes(fd, path, entry);
}

bool AttributeKeeper::KeepOwner(int fd, const std::filesystem::path& path, const CatalogueEntry& entry) const {
  const uid_t uid = entry.details.uid;
  const gid_t gid = entry.details.gid;
  const int done = fd >= 0 ? ::fchown(fd, uid, gid) : ::fchownat(AT_FDCWD, path.c_str(), uid, gid, AT_SYMLINK_NOFOLLOW);
  if (done == 0) return true;
  ++notKept_.owners;
  return false;
}

void AttributeKeeper::KeepAttributes(int fd, const std::filesystem::path& path,
                                     const EntryAttributes& attributes) const {
  notKept_.attributes += attributes.unreadable;
  for (const ExtendedAttribute& attribute : attributes.attributes) {
    const char* name = attribute.name.c_str();
    const void* value = attribute.value.data();
    const std::size_t size = attribute.value.size();
    const int done = fd >= 0 ? ::fsetxattr(fd, name, value, size, 0) : ::lsetxattr(path.c_str(), name, value, size, 0);
    if (done != 0) ++notKept_.attributes;
  }
}

// The whole mode with Kept::Mode, else its access bits; the set-id bits only where the
// owner was kept, so that no file runs as someone it does not belong to.
void AttributeKeeper::KeepMode(int fd, const std::filesystem::path& path, const CatalogueEntry& entry,
                               bool ownerKept) const {
  std::uint32_t mode = 0;
  if (preserve_.Has(Kept::Mode)) {
    mode = entry.mode & kModePermissionBits;
    if (!ownerKept && (mode & kSetIdBits) != 0) {
      mode &= ~kSetIdBits;
      ++notKept_.modes;
    }
  } else if (preserve_.Has(Kept::Permissions)) {
    mode = entry.mode & kAccessBits;
  } else {
    return;
  }
  const int done = fd >= 0 ? ::fchmod(fd, mode) : ::fchmodat(AT_FDCWD, path.c_str(), mode, 0);
  if (done != 0) ++notKept_.modes;
}

// The modification time always; the access time too with Kept::Timestamps (else the
// modification time stands for it).
void AttributeKeeper::KeepTimes(int fd, const std::filesystem::path& path, const CatalogueEntry& entry) const {
  if (entry.modificationTime == kNotSeen) return;
  const bool access = preserve_.Has(Kept::Timestamps) && entry.HasStatDetails();
  const auto modified = static_cast<time_t>(entry.modificationTime);
  const timespec times[2] = {{access ? static_cast<time_t>(entry.details.accessTime) : modified, 0}, {modified, 0}};
  const int done = fd >= 0 ? ::futimens(fd, times) : ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
  if (done != 0) ++notKept_.times;
}

}  // namespace vantrel
