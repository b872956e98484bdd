#!/usr/bin/env python3
"""Splits a volume image into the member images of an md RAID5 (left-symmetric, data at the
start of each member), the way the array would have written it, for the RAID benchmarks.

    bench/make_raid5_members.py VOLUME CHUNK_KIB OUT_PREFIX MEMBERS

Writes OUT_PREFIX-0.img ... OUT_PREFIX-(MEMBERS-1).img; the array is then
`--raid 5:CHUNK_KIBK:0,1,...,MEMBERS-1`. All-zero stripes stay holes in the members.
"""
import os
import sys


def main():
    volume, chunk_kib, prefix, count = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
    chunk = chunk_kib * 1024
    data_per_stripe = chunk * (count - 1)
    size = os.path.getsize(volume)
    stripes = (size + data_per_stripe - 1) // data_per_stripe
    members = [open(f"{prefix}-{i}.img", "wb") for i in range(count)]
    zero = bytes(chunk)
    with open(volume, "rb") as source:
        for stripe in range(stripes):
            parity_disk = (count - 1) - stripe % count
            chunks = [source.read(chunk).ljust(chunk, b"\0") for _ in range(count - 1)]
            if all(c == zero for c in chunks):
                continue  # a hole in every member
            parity = 0
            for c in chunks:
                parity ^= int.from_bytes(c, "little")
            offset = stripe * chunk
            for position, data in enumerate(chunks):
                disk = (parity_disk + 1 + position) % count
                if data != zero:
                    members[disk].seek(offset)
                    members[disk].write(data)
            if parity:
                members[parity_disk].seek(offset)
                members[parity_disk].write(parity.to_bytes(chunk, "little"))
    for member in members:
        member.truncate(stripes * chunk)
        member.close()


if __name__ == "__main__":
    main()
