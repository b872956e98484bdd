// Writes a synthetic ReiserFS volume of a given number of objects into a sparse image
// file, for the catalogue benchmarks (see tests/support/SyntheticVolume.h).
//
//   make_synthetic_volume --objects=N --out=IMG [--files-per-folder=N] [--fanout=N] [--partition-start=SECTOR]
//                         [--write-bodies]

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "support/SyntheticVolume.h"

int main(int argc, char** argv) {
  vantrel::test::SyntheticVolumeShape shape;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&](const char* name) -> const char* {
      const std::string prefix = std::string(name) + "=";
      return argument.rfind(prefix, 0) == 0 ? argv[i] + prefix.size() : nullptr;
    };
    if (const char* v = value("--objects"))
      shape.objects = std::strtoull(v, nullptr, 10);
    else if (const char* v = value("--files-per-folder"))
      shape.filesPerFolder = static_cast<std::uint32_t>(std::strtoul(v, nullptr, 10));
    else if (const char* v = value("--fanout"))
      shape.internalFanout = static_cast<std::uint32_t>(std::strtoul(v, nullptr, 10));
    else if (const char* v = value("--partition-start"))
      shape.partitionStart = std::strtoull(v, nullptr, 10);
    else if (const char* v = value("--out"))
      out = v;
    else if (argument == "--write-bodies")
      shape.writeBlockBodies = true;
    else {
      std::cerr << "usage: make_synthetic_volume --objects=N --out=IMG [--files-per-folder=N] [--fanout=N] "
                   "[--partition-start=SECTOR] [--write-bodies]\n";
      return 2;
    }
  }
  if (out.empty()) {
    std::cerr << "make_synthetic_volume: --out is required\n";
    return 2;
  }
  try {
    const auto summary = vantrel::test::WriteSyntheticVolume(out, shape);
    std::printf(
        "%s: %llu folders, %llu files (%llu tails, %llu one-block), %u leaves, %u internal nodes, "
        "height %u, %u blocks, partition at sector %llu\n",
        out.c_str(), static_cast<unsigned long long>(summary.folders), static_cast<unsigned long long>(summary.files),
        static_cast<unsigned long long>(summary.tailFiles), static_cast<unsigned long long>(summary.oneBlockFiles),
        summary.leaves, summary.internalNodes, summary.treeHeight, summary.blockCount,
        static_cast<unsigned long long>(summary.partitionStart));
  } catch (const std::exception& error) {
    std::cerr << "make_synthetic_volume: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
