// Our substitute for DirectInput: the buffered system keyboard.
#pragma once

#include "platform/input/dik_codes.h"
#include "platform/input/direct_input.h"
#include "platform/input/direct_input_device.h"
#include "platform/input/direct_input_types.h"
