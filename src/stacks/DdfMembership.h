#pragma once
// The arrays a member of a DDF container (SNIA's format, written by hardware RAID controllers
// and by mdadm) takes part in: its anchor header in the last sector leads to the primary
// header, whose sections give this disk's reference, the virtual disks' names and the
// configuration records (each virtual disk's RAID level, strip size, members and where its
// data starts on each). Each is given as the md superblock it stands for, so that the md
// assembly puts the arrays together. DDF is big-endian; every section is checked by its
// CRC-32 and against the member's size before it is believed.

#include <cstdint>
#include <span>
#include <vector>

#include "disk/DiskSource.h"
#include "stacks/MdSuperblock.h"

namespace vantrel {

std::vector<MdMemberSuperblock> FindDdfMemberships(DiskSource& member);

// The CRC a DDF structure keeps in its second big-endian word, over the structure's bytes.
std::uint32_t DdfCrc(std::span<const std::byte> bytes);

}  // namespace vantrel
