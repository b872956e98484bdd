#pragma once
// The wizard's views: each a fixed set of shown, hidden, enabled and disabled controls and
// a step picture. ShowView applies one to the window's models and then tells the window
// which view it is showing.

#include <cstdint>
#include <string>

#include "app/WizardModes.h"

namespace vantrel {

struct WizardState;

// A value that names no view does nothing.
void ShowView(WizardState& state, WizardView view);

// The disk number of a disk tree label such as "Disk12" (the text after its first four
// characters).
std::uint16_t DiskIndexFromLabel(const std::string& label);

// Step pictures 1 to 9 (the picture of view 9 depends on the recovery mode); 0 stands for
// the raw recovery panel's picture. The picture control's text is the file's path.
void ShowStepPicture(WizardState& state, int picture);

// The file of a step picture in the program folder, empty when the picture stays as it is.
std::string StepPictureFile(int picture, RecoveryMode mode);

}  // namespace vantrel
