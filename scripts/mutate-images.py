#!/usr/bin/env python3
"""Reads damaged disks with the console program and checks that it holds.

Each mutant is a fixture image whose metadata (partition tables, superblocks and the
blocks that begin like tree nodes) is damaged at random, reproducibly from --seed. The
console program then runs `partitions`, `ls -R`, `save` and `carve` on it, each under a
time limit, and the run checks: no crash (a signal), no hang (the limit), nothing written
outside the destination folder or into the working folder, and the image's checksum the
same before and after. Mutants that fail are kept in the work folder; the others are
removed. The exit status is 1 when any check failed.

    scripts/mutate-images.py [--count N] [--seed S] [--cli PATH] [--timeout SECONDS] [--minutes M]
"""
import argparse
import hashlib
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SECTOR = 512
MAGICS = (b"ReIsErFs\0", b"ReIsEr2Fs\0")
INTERESTING = [0, 1, 2, 0x7F, 0x80, 0xFF, 0x100, 0x1000, 0x7FFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF]


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def find_superblocks(disk):
    found = []
    for magic in MAGICS:
        at = disk.find(magic)
        while at >= 0:
            if (at - 52) % SECTOR == 0:
                found.append(at - 52)
            at = disk.find(magic, at + 1)
    return sorted(found)


def metadata(disk):
    ranges = [(0, SECTOR)]
    for sb in find_superblocks(disk):
        ranges.append((sb, 204))
        start = sb - 65536
        count, = struct.unpack_from("<I", disk, sb)
        block_size, = struct.unpack_from("<H", disk, sb + 44)
        if start < 0 or block_size not in (1024, 2048, 4096, 8192):
            continue
        for b in range(1, min(count, (len(disk) - start) // block_size)):
            offset = start + b * block_size
            level, items = struct.unpack_from("<HH", disk, offset)
            if 1 <= level <= 5 and 0 < items < block_size // 8:
                ranges.append((offset, block_size))
    for sector in range(1, len(disk) // SECTOR):
        at = sector * SECTOR
        if disk[at + 510:at + 512] == b"\x55\xaa" and any(disk[at + 446 + 16 * i + 4] in (5, 15, 0x83) for i in range(4)):
            ranges.append((at, SECTOR))
    return ranges


def mutate(disk, ranges, rng):
    """Damages 1 to 12 places of the metadata; returns what was done, for the log."""
    done = []
    for _ in range(rng.randint(1, 12)):
        offset, length = rng.choice(ranges)
        kind = rng.randrange(5)
        at = offset + rng.randrange(length)
        if kind == 0:  # one bit
            disk[at] ^= 1 << rng.randrange(8)
        elif kind == 1:  # a random byte
            disk[at] = rng.randrange(256)
        elif kind == 2:  # an interesting 16- or 32-bit field at an even offset
            at -= (at - offset) % 2
            value = rng.choice(INTERESTING)
            if rng.randrange(2) and at + 4 <= offset + length:
                struct.pack_into("<I", disk, at, value & 0xFFFFFFFF)
            elif at + 2 <= offset + length:
                struct.pack_into("<H", disk, at, value & 0xFFFF)
        elif kind == 3:  # a run of random bytes
            n = min(rng.randint(1, 64), offset + length - at)
            disk[at:at + n] = bytes(rng.randrange(256) for _ in range(n))
        else:  # bytes copied from another metadata place
            source, source_length = rng.choice(ranges)
            n = min(rng.randint(8, 256), source_length, offset + length - at)
            disk[at:at + n] = disk[source:source + n]
        done.append((kind, at))
    return done


def escaped(folder, destination):
    """Everything in folder that is neither the destination, a folder on the way to it, nor
    inside it, and any link inside it."""
    bad = []
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(parent, name)
            inside = path == destination or path.startswith(destination + os.sep)
            on_the_way = destination.startswith(path + os.sep)
            if os.path.islink(path) or not (inside or on_the_way):
                bad.append(path)
    return bad


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--cli", default=os.path.join(root, "build", "bin", "vantrel-cli"))
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("--minutes", type=float, default=0, help="start no new mutant after this many minutes")
    parser.add_argument("--work", default="/dev/shm" if os.path.isdir("/dev/shm") else tempfile.gettempdir())
    parser.add_argument("--images", nargs="*", default=["mbr-mixed", "bare-36", "deleted", "reformatted"])
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vantrel-mutants-", dir=args.work)
    bases = {}
    for name in args.images:
        packed = os.path.join(root, "tests", "data", name + ".img.zst")
        disk = bytearray(subprocess.run(["zstd", "-q", "-d", "-c", packed], check=True, stdout=subprocess.PIPE).stdout)
        starts = [(at - 65536) // SECTOR for at in find_superblocks(disk) if at >= 65536]
        bases[name] = (disk, metadata(disk), starts)
        print(f"{name}: {len(bases[name][1])} metadata places", flush=True)

    # ls and save read the first partition record, or (every other mutant, and always on a
    # disk without a partition table) the partition at the start of the base image's first
    # superblock, so that a damaged table does not keep the deeper readers from the tree.
    def source(name, i):
        starts = bases[name][2]
        if starts and (i % 2 or name == "bare-36"):
            return ["--start", str(starts[0])]
        return []

    commands = {
        "partitions": lambda image, out, name, i: ["--disk", image, "partitions", "--search",
                                                   ("quick", "advanced", "more")[i % 3]],
        "ls": lambda image, out, name, i: ["--disk", image, "ls", "-R"] + source(name, i)
        + (["--file-search", "advanced"] if i % 4 >= 2 else []),
        "save": lambda image, out, name, i: ["--disk", image, "save", "--out", out, "--replace", "yes-to-all"]
        + source(name, i) + (["--file-search", "advanced"] if i % 4 >= 2 else []),
        "carve": lambda image, out, name, i: ["--disk", image, "carve", "--out", out]
        + (["--exact-sizes"] if i % 2 else []),
    }
    longest = {name: 0.0 for name in commands}
    statuses = {name: {} for name in commands}
    failures = []
    began = time.monotonic()
    made = 0
    for i in range(args.count):
        if args.minutes and time.monotonic() - began > args.minutes * 60:
            break
        made += 1
        name = args.images[i % len(args.images)]
        disk, ranges, _ = bases[name]
        rng = random.Random(args.seed * 1000003 + i)
        mutant = bytearray(disk)
        mutate(mutant, ranges, rng)
        folder = os.path.join(work, f"{i:04d}-{name}")
        os.makedirs(os.path.join(folder, "cwd"))
        image = os.path.join(folder, "mutant.img")
        with open(image, "wb") as f:
            f.write(mutant)
        before = sha256(image)
        problems = []
        for command, make in commands.items():
            destination = os.path.join(folder, "out", command, "a", "b", "destination")
            os.makedirs(os.path.dirname(destination), exist_ok=True)
            started = time.monotonic()
            try:
                run = subprocess.run([args.cli] + make(image, destination, name, i), cwd=os.path.join(folder, "cwd"),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                     timeout=args.timeout)
                code = run.returncode
                if code < 0:
                    problems.append(f"{command}: signal {-code}: {run.stderr.decode(errors='replace')[-300:]}")
            except subprocess.TimeoutExpired:
                code = "hang"
                problems.append(f"{command}: no end within {args.timeout:.0f} s")
            seconds = time.monotonic() - started
            longest[command] = max(longest[command], seconds)
            statuses[command][code] = statuses[command].get(code, 0) + 1
            for path in escaped(os.path.join(folder, "out", command), destination):
                problems.append(f"{command}: written outside the destination: {path}")
        if os.listdir(os.path.join(folder, "cwd")):
            problems.append("files written into the working folder: " + ", ".join(os.listdir(os.path.join(folder, "cwd"))))
        if sha256(image) != before:
            problems.append("the image's checksum changed")
        if problems:
            failures.append((folder, problems))
            print(f"mutant {i} ({name}): " + "; ".join(problems), flush=True)
        else:
            shutil.rmtree(folder)
        if (i + 1) % 25 == 0:
            print(f"{i + 1} mutants, {len(failures)} failed", flush=True)

    print(f"\n{made} mutants of {', '.join(args.images)} (seed {args.seed}), {len(failures)} failed")
    for command in commands:
        codes = ", ".join(f"{code}: {n}" for code, n in sorted(statuses[command].items(), key=lambda kv: str(kv[0])))
        print(f"  {command:<10} exit statuses {{{codes}}}, longest run {longest[command]:.1f} s")
    if not failures:
        shutil.rmtree(work)
    else:
        print(f"failed mutants kept in {work}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
