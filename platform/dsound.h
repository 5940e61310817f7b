// Our substitute for DirectSound: buffers mixed in software and played through SDL2 audio when
// a device exists.
#pragma once

#include "platform/dsound/direct_sound.h"
#include "platform/dsound/direct_sound_buffer.h"
#include "platform/dsound/direct_sound_types.h"
