#pragma once
// The folder tree's three-state check boxes and the catalogue's selected flags behind them.

#include "app/TreeModel.h"

namespace vantrel {

struct WizardState;

// The check-box action on a folder tree item: a checked or partly checked item becomes
// unchecked with everything below it, an unchecked one checked with everything below it;
// the folders and files shown in each of those folders take the same selected flag (the
// root item stands for the root folder); the ancestors then show whether all, some or none
// of their children are checked.
void ToggleCheck(WizardState& state, TreeItemHandle item);

}  // namespace vantrel
