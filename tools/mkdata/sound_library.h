// The source of "sound.dll": every sound of the sound list as a WAV resource in the module's
// resource table.
#pragma once

#include <string>

namespace mkdata {

// C++ source defining the module's resource table, each entry of type "WAV" holding the
// synthesised RIFF/WAVE image of one sound, in list order.
std::string BuildSoundLibrarySource();

}  // namespace mkdata
