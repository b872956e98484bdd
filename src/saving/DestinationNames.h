#pragma once
// Which names a destination folder can hold. Linux file systems (ext4, XFS, btrfs, tmpfs,
// ...) take every byte but "/" and NUL; FAT, exFAT and NTFS refuse : * ? " < > | \ and
// some bytes, so a save there writes safe names. Told by the folder's file system type
// (statfs) and, for file systems served by FUSE, by the type its mount names.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel {

// True for the statfs type or mount type of FAT, exFAT or NTFS (in the kernel or through
// FUSE: "fuseblk", "fuse.ntfs-3g", "fuse.exfat", ...).
bool FileSystemNeedsSafeNames(std::uint64_t statfsType, std::string_view mountType);

// The file system type of the mount holding path (canonical, absolute), as mountinfo text
// (the format of /proc/self/mountinfo) gives it: the type of the last mounted of the
// longest mount points above path, with its subtype ("fuse.sshfs"). Empty when none is found.
std::string MountTypeAt(std::string_view mountinfo, const std::string& path);

// Asks the system about an existing folder. False when it cannot be told.
bool DestinationNeedsSafeNames(const std::filesystem::path& folder);

}  // namespace vantrel
