// The 3D engine's public interface.
#pragma once

#include "engine/core/error.h"
#include "engine/core/math_convert.h"
#include "engine/core/math_plane.h"
#include "engine/core/math_rotation.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_trig.h"
#include "engine/core/math_vector.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/parser_message_box.h"
#include "engine/core/startup.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/wad.h"
#include "engine/core/world.h"
#include "engine/core/world_loading.h"
