#pragma once
// The details of a listed disk as rows of text: its number, model, media, geometry, size
// and any error.

#include <string>
#include <vector>

#include "disk/DiskInfoStore.h"

namespace vantrel {

std::vector<std::string> DiskDetailsRows(const DiskInfoStore& store, int disk);

}  // namespace vantrel
