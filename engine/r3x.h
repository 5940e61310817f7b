// The 3D engine's public interface.
#pragma once

#include "engine/core/error.h"
#include "engine/core/memory.h"
