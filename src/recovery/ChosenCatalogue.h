#pragma once
// The catalogue a recovery step works on, with where it came from.

#include <cstdint>
#include <string>
#include <vector>

#include "recovery/FileSearchKind.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/search/PartitionSearch.h"
#include "saving/FileBody.h"

namespace vantrel {

struct ChosenCatalogue {
  Catalogue catalogue{};
  PartitionSource partition;
  std::uint64_t selectedSize = 0;  // sectors of the chosen partition, as its record gives them
  BodySource source = BodySource::Tree;
  std::vector<PartitionRecord> partitions{};  // what the partition search found
  std::uint8_t recoveryMode = 1;              // 1 quick, 2 advanced partition search
  FileSearchKind fileSearch = FileSearchKind::Quick;
  std::uint16_t diskIndex = 0;
  std::string diskModel{};
};

}  // namespace vantrel
