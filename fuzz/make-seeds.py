#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets, taken from the fixture images.

make-seeds.py IMAGES CORPUS: IMAGES holds the unpacked NAME.img files (and carve/NAME.img
with carve/NAME.json), CORPUS gets one folder of seeds per target.
"""
import hashlib
import json
import os
import struct
import sys

SECTOR = 512
# (image, partition start sector) of every ReiserFS volume of the fixtures.
VOLUMES = [("mbr-mixed", 2048), ("mbr-mixed", 94208), ("bare-36", 0), ("deleted", 2048), ("reformatted", 2048)]


def write(folder, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), "wb") as out:
        out.write(data)


def superblock(disk, start):
    at = (start + 128) * SECTOR
    return disk[at:at + SECTOR]


def nodes(disk, start, sb, limit):
    """Up to limit blocks of the volume that begin like a node, internal nodes first."""
    count, block_size = struct.unpack_from("<I", sb, 0)[0], struct.unpack_from("<H", sb, 44)[0]
    found = []
    for b in range(1, count):
        at = start * SECTOR + b * block_size
        block = disk[at:at + block_size]
        if len(block) < block_size:
            break
        level, items = struct.unpack_from("<HH", block, 0)
        if 1 <= level <= 5 and items > 0:
            found.append((-level, b, block))
    found.sort()
    step = max(1, len(found) // limit)
    return [block for _, _, block in found[::step][:limit]]


def with_root(sb, root):
    return sb[:8] + struct.pack("<I", root) + sb[12:]


def partition_disk(sb36, root36, sb35, root35):
    """A small disk: a primary Linux entry at 65 (3.5, root block 20) and an extended
    partition at 300 whose boot record holds a logical Linux entry at 310 (3.6, root block 5)."""
    disk = bytearray(600 * SECTOR)
    disk[0] = 1  # one head
    disk[1] = 63  # 63 sectors per track: cylinder starts at 63, 126, ...
    def entry(offset, kind, first, length):
        struct.pack_into("<B", disk, offset + 4, kind)
        struct.pack_into("<II", disk, offset + 8, first, length)
    entry(446, 0x83, 65, 200)
    entry(462, 0x05, 300, 300)
    disk[510:512] = b"\x55\xaa"
    ebr = 300 * SECTOR
    entry(ebr + 446, 0x83, 10, 200)
    disk[ebr + 510:ebr + 512] = b"\x55\xaa"
    disk[(65 + 128) * SECTOR:(65 + 129) * SECTOR] = with_root(sb35, 20)
    disk[(65 + 40) * SECTOR:(65 + 41) * SECTOR] = root35[:SECTOR]
    disk[(310 + 128) * SECTOR:(310 + 129) * SECTOR] = with_root(sb36, 5)
    disk[(310 + 40) * SECTOR:(310 + 41) * SECTOR] = root36[:SECTOR]
    return bytes(disk)


def patch(selector, offset, data):
    return struct.pack("<HHB", selector, offset, len(data)) + data


def journal_seed(block_size, area_blocks, header, transactions, volume_byte=255):
    """A journal_fuzzer input: its four choice bytes, the header block, then the area, with
    transactions as (offset, trans id, mount id, real blocks) or (offset, descriptor, commit)."""
    shift = {512: 0, 1024: 1, 2048: 2, 4096: 3}[block_size]
    blocks = [bytearray(block_size) for _ in range(area_blocks + 1)]
    blocks[0][0:12] = struct.pack("<III", *header)
    half = (block_size - 24) // 4
    for t in transactions:
        offset = t[0]
        if len(t) == 3:
            descriptor, commit = t[1], t[2]
            length = struct.unpack_from("<I", descriptor, 4)[0]
        else:
            _, trans_id, mount_id, real = t
            length = len(real)
            descriptor = bytearray(block_size)
            commit = bytearray(block_size)
            struct.pack_into("<III", descriptor, 0, trans_id, length, mount_id)
            descriptor[block_size - 12:block_size - 4] = b"ReIsErLB"
            struct.pack_into("<II", commit, 0, trans_id, length)
            for i, block in enumerate(real):
                if i < half:
                    struct.pack_into("<I", descriptor, 12 + 4 * i, block)
                else:
                    struct.pack_into("<I", commit, 8 + 4 * (i - half), block)
        blocks[1 + offset % area_blocks][:] = descriptor[:block_size]
        blocks[1 + (offset + length + 1) % area_blocks][:] = commit[:block_size]
    return bytes([shift, area_blocks, 0, volume_byte]) + b"".join(bytes(b) for b in blocks)


def journal_seeds(images, corpus):
    # Crafted: two transactions, then one that wraps around the area's end.
    write(f"{corpus}/journal", journal_seed(1024, 32, (10, 0, 7), [(0, 11, 7, [200, 201]), (4, 12, 7, [201])]))
    write(f"{corpus}/journal", journal_seed(512, 16, (20, 13, 7), [(13, 21, 7, [300, 301, 302]), (2, 22, 7, [300])]))
    # The committed transaction the crash left in the crashed image, at the area's start.
    path = os.path.join(images, "crashed.img")
    if not os.path.exists(path):
        return
    with open(path, "rb") as f:
        disk = f.read()
    start, block_size, first, offset = 2048 * SECTOR, 4096, 18, 85
    descriptor = disk[start + (first + offset) * block_size:][:block_size]
    length = struct.unpack_from("<I", descriptor, 4)[0]
    commit = disk[start + (first + offset + length + 1) * block_size:][:block_size]
    write(f"{corpus}/journal", journal_seed(4096, 24, (17, 0, 11), [(0, descriptor, commit)]))


def main():
    images, corpus = sys.argv[1], sys.argv[2]
    disks = {}
    for name, _ in VOLUMES:
        if name not in disks:
            with open(os.path.join(images, name + ".img"), "rb") as f:
                disks[name] = f.read()

    roots = {}
    for name, start in VOLUMES:
        disk = disks[name]
        sb = superblock(disk, start)
        block_size = struct.unpack_from("<H", sb, 44)[0]
        root = struct.unpack_from("<I", sb, 8)[0]
        root_at = start * SECTOR + root * block_size
        roots[(name, start)] = (sb, disk[root_at:root_at + block_size])
        write(f"{corpus}/superblock", sb)
        write(f"{corpus}/superblock", with_root(sb, 20) + disk[root_at:root_at + SECTOR])
        for block in nodes(disk, start, sb, 12):
            write(f"{corpus}/node", block)

    journal_seeds(images, corpus)
    write(f"{corpus}/partition_search", disks["mbr-mixed"][:SECTOR])
    sb36, root36 = roots[("deleted", 2048)]
    sb35, root35 = roots[("mbr-mixed", 94208)]
    write(f"{corpus}/partition_search", partition_disk(sb36, root36, sb35, root35))

    for mode in range(4):
        write(f"{corpus}/catalogue_save", bytes([mode]))
        # The superblock's block count, root block and tree height, and a leaf's first item.
        write(f"{corpus}/catalogue_save", bytes([mode]) + patch(0, 0, b"\xff\xff\xff\x7f"))
        write(f"{corpus}/catalogue_save", bytes([mode]) + patch(0, 8, b"\x01\x00\x00\x00"))
        write(f"{corpus}/catalogue_save", bytes([mode]) + patch(5, 24, b"\x02\x00\x00\x00\x07\x00"))

    # Sectors of the partition tables, superblocks and root nodes of mbr-mixed and bare-36,
    # as (u32 sector, bytes) records after a heads byte.
    for name, heads in (("mbr-mixed", 255), ("bare-36", 16)):
        disk = disks[name]
        sectors = [0] + [s for s in range(1, len(disk) // SECTOR) if disk[s * SECTOR + 510:s * SECTOR + 512] == b"\x55\xaa"]
        for image, start in VOLUMES:
            if image == name:
                sb, root = roots[(image, start)]
                block_size = struct.unpack_from("<H", sb, 44)[0]
                sectors += [start + 128, start + struct.unpack_from("<I", sb, 8)[0] * block_size // SECTOR]
        records = b"".join(struct.pack("<I", s) + disk[s * SECTOR:(s + 1) * SECTOR] for s in sorted(set(sectors)))
        write(f"{corpus}/partition_table", bytes([heads]) + records)

    carve = os.path.join(images, "carve")
    for name in ("carve-basic", "whole-documents"):
        with open(os.path.join(carve, name + ".json")) as f:
            manifest = json.load(f)
        with open(os.path.join(carve, name + ".img"), "rb") as f:
            disk = f.read()
        for placed in manifest["files"]:
            if placed["length"] > 96 * 1024:
                continue
            first = max(0, placed["start_offset"] - SECTOR)
            data = disk[first:placed["start_offset"] + placed["length"] + 2 * SECTOR]
            write(f"{corpus}/raw_recovery", bytes([0]) + data)
            write(f"{corpus}/raw_recovery", bytes([1]) + data)


if __name__ == "__main__":
    main()
