#pragma once
// A GNU ddrescue mapfile of an image: the stretches read ('+'), those that could not be
// read ('-', zeros in the image) and, after a stop, those not yet tried ('?'). Positions
// count from the start of the image, so that ddrescue can fill the bad stretches later from
// another copy of the same disk, array or partition.

#include <string>

#include "imaging/ImageCopy.h"

namespace vantrel {

// The mapfile's text; commandLine goes into its comment head.
std::string DdrescueMapfileText(const ImageReport& report, const std::string& commandLine);

}  // namespace vantrel
