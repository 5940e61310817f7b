// The program's resources: the system check dialog and its three icons.
#pragma once

#include <span>

#include "platform/dialog/dialog_resources.h"

// The dialog's controls in the order of the resource, in dialog units.
std::span<const platform::DialogControlTemplate> SystemCheckControls();
// Registers the dialog and the icons under their numbers.
void RegisterProbexResources();
