#pragma once
// The window's way to disks the user may not open: the system's disk service (UDisks2)
// opens a block device read-only after the desktop's own authentication prompt, and hands
// back the descriptor.

#include <QDBusConnection>
#include <string>

namespace vantrel::qt {

// Asks UDisks2 on bus for a read-only descriptor of the block device at path: the descriptor
// (the caller's to close), or -1 and the reason in *why. Where the service is not there the
// reason says how to get access without it.
int OpenThroughUDisks(const QDBusConnection& bus, const std::string& path, std::string* why);

// Makes the disk layer ask UDisks2 on the system bus for every block device it may not open.
void InstallUDisksOpener();

}  // namespace vantrel::qt
