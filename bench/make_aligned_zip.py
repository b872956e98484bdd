#!/usr/bin/env python3
"""Makes a stored ZIP whose entries' data begin at sector starts (padded extra fields), so
that the documents inside it show their own headers where a carver looks for them.

  bench/make_aligned_zip.py OUT.zip FILE...
"""
import os, sys, zipfile

SECTOR = 512


def main():
    out, files = sys.argv[1], sys.argv[2:]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_STORED) as archive:
        for path in files:
            name = os.path.basename(path)
            data = open(path, "rb").read()
            here = archive.fp.tell() + 30 + len(name)
            pad = (-here - 4) % SECTOR + 4  # an extra field: 4 bytes of id and length, then padding
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.extra = b"\xfe\xca" + (pad - 4).to_bytes(2, "little") + bytes(pad - 4)
            archive.writestr(info, data)


if __name__ == "__main__":
    main()
