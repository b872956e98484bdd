#pragma once
// What a catalogue read from a recovery log lacks of its entries' stat data, taken from a
// catalogue of the live tree of the same partition: a recovery log keeps the modes of the
// object records of an advanced build and no owners, link counts, device numbers or access
// and change times. Each entry without a mode takes its object's from the records, else the
// live tree's, and the rest of the live tree's stat data where the live tree holds the
// object. Entries of objects the live tree no longer holds (deleted ones) stay without.

#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

// live: nullptr when the live tree could not be read.
void TakeStatDataFromLiveTree(Catalogue& logged, const Catalogue* live);

}  // namespace vantrel
