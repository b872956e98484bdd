#pragma once
// What kind of disk image a file holds, told by its signature (never by its name), except a
// split raw image, which has none: its first piece is known by its name and by its second
// piece beside it.

#include <string>

namespace vantrel {

enum class ImageKind { Raw, ExpertWitness, Qcow, Vmdk, Vhd, Vhdx, SplitRaw, Vdi };

// The kind of the regular file at path; Raw for anything else (a device, a file that
// cannot be read, a raw image).
ImageKind DetectImageKind(const std::string& path);

// "Expert Witness (E01)", "qcow2", ...: the kind as the details rows show it.
std::string ImageKindName(ImageKind kind);

}  // namespace vantrel
