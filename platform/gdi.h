// Our substitute for the drawing services: memory DCs over DIB sections and their text output.
#pragma once

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/palette_entry.h"
#include "platform/gdi/text_output.h"
