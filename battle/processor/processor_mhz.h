// The first processor's clock as the system records it, or as measured where it does not.
#pragma once

#include "platform/kernel/types.h"

// The DWORD value "~MHz" (else "~Mhz", else "~mhz") of the first processor's registry key;
// without it, the normalized clock of MeasureCpuSpeed with the given clock count.
DWORD GetProcessorMhz(int clocks);
