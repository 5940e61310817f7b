// A resource module for the resource tests.
#include "platform/kernel/resource.h"

namespace {
const unsigned char kBeep[] = {'R', 'I', 'F', 'F', 0, 1, 2};
const unsigned char kNote[] = {'h', 'i'};
}  // namespace

extern "C" const platform::ResourceEntry platform_resource_table[] = {
    {"Beep", "WAV", kBeep, sizeof kBeep},
    {"Note", "TXT", kNote, sizeof kNote},
    {},
};
