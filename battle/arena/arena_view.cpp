#include "battle/arena/arena_view.h"

R3xRenderContext* gRenderContext = nullptr;
R3xCamera* gCamera = nullptr;
R3xRenderDevice* gRenderDevice = nullptr;
R3xGlideContext* gGlideContext = nullptr;
