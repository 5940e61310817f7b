// The 3D engine's public interface, world part: world-file loading and the world-file vocabulary
// the data tools write. Game code includes the parts it uses; engine/r3x.h includes them all.
#pragma once

#include "engine/world/binary_world_format.h"
#include "engine/world/keyword_table.h"
#include "engine/world/precompiled_world_format.h"
#include "engine/world/render_method_names.h"
#include "engine/world/vis_member_name.h"
#include "engine/world/world_loading.h"
