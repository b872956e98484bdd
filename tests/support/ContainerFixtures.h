#pragma once
// The fixture images converted into the containers people keep disks in, made on first use
// with the tools that make them (ewfacquire, qemu-img, split) and kept in the fixture cache.

#include <string>

namespace vantrel::test {

// The first file of fixture image NAME kept as KIND: "E01" (deflate, one segment),
// "E01-segments" (uncompressed, 20 MiB segments), "qcow2" (compressed clusters), "qcow2-plain",
// "qcow2-backed" (an empty qcow2 over a qcow2 of the image), "vmdk-stream" (stream-optimised),
// "vmdk-split" (sparse extents beside a descriptor), "vhdx" (dynamic), "vhd" (dynamic),
// "vdi" (dynamic), "vdi-fixed",
// "split-001" (10 MiB pieces .001, .002, ...), "split-aa" (7 MiB pieces .aa, .ab, ...).
std::string ContainerFixture(const std::string& name, const std::string& kind);

}  // namespace vantrel::test
