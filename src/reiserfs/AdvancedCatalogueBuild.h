#pragma once

namespace vantrel {

struct WizardState;

// The advanced file/folder search: reads every block of the current partition, examines
// each block that looks like a leaf (live, stale or a journal copy), gathers every stat
// data item, directory entry, indirect and direct item into one object record per
// (objectId, dirId), and converts the records into the catalogue. Objects whose name was
// never seen are named "FOUND" and a number. The records stay in objectList: saving reads
// file bodies through their pieces. Stop ends the scan; the conversion then still runs.
void AdvancedCatalogueBuild(WizardState& state);

}  // namespace vantrel
