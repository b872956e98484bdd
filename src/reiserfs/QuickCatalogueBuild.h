#pragma once

namespace vantrel {

struct WizardState;

// The quick file/folder search: builds the catalogue of the current partition by walking
// the live tree breadth-first from the root folder, one key search for each folder's
// entries and one for each object's stat data. A folder reached a second time (a damaged
// tree whose entries loop) is listed again but not walked again. Stops early on
// StopRequested and then still finishes the catalogue with what it found.
void QuickCatalogueBuild(WizardState& state);

}  // namespace vantrel
