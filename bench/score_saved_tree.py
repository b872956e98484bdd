#!/usr/bin/env python3
"""Scores a saved tree against a fixture manifest: the files at their paths with their content.

    score_saved_tree.py MANIFEST PARTITION_INDEX SAVED_FOLDER

Prints "right wrong missing total": files at their path with the manifest's sha256, files at
their path with other content, files not at their path, and the manifest's files.
"""
import hashlib
import json
import os
import sys


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def main():
    manifest, index, saved = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(manifest) as f:
        partitions = json.load(f)["partitions"]
    partition = next(p for p in partitions if p["index"] == index)
    right = wrong = missing = total = 0
    for entry in partition["entries"]:
        if entry["kind"] != "file":
            continue
        total += 1
        path = os.path.join(saved, entry["path"])
        if not os.path.isfile(path):
            missing += 1
        elif sha256(path) == entry["sha256"]:
            right += 1
        else:
            wrong += 1
    print(right, wrong, missing, total)


if __name__ == "__main__":
    main()
