#pragma once
// A second way to open a disk the user may not open directly: a front end installs an
// opener (the desktop window asks the system's disk service, which authenticates the user
// and hands back a read-only descriptor). The disk layer only calls it.

#include <functional>
#include <string>

namespace vantrel {

inline constexpr const char* kDiskAccessHint = "run as root, or add yourself to the disk group";

// Returns a descriptor opened read-only on path, or -1 and the reason in *why.
using DeviceOpener = std::function<int(const std::string& path, std::string* why)>;

// Installs the opener used for every disk opened from now on (an empty one removes it).
void SetDeviceOpener(DeviceOpener opener);

// Opens path read-only through the installed opener: -1 and *why when there is none or it
// fails.
int OpenThroughDeviceOpener(const std::string& path, std::string* why);

}  // namespace vantrel
