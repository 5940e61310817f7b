#include "engine/core/sprite_2d.h"

#include <cstddef>

#include "engine/core/bitmap_frames.h"
#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/render_method_internal.h"
#include "engine/core/volume.h"
#include "engine/core/world.h"

namespace {

constexpr std::int32_t kQuadCorners = 4;

template <typename Visit>
void forEachView(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount, Visit visit) {
  for (std::uint32_t s = 0; s < viewSetCount; ++s) {
    for (std::uint32_t v = 0; v < viewSets[s].viewCount; ++v) {
      visit(viewSets[s].views[v]);
    }
  }
}

bool viewsShowBitmaps(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount,
                      std::uint32_t framesPerView) {
  bool valid = true;
  forEachView(viewSets, viewSetCount, [&](const R3x2DSpriteView& view) {
    valid = valid && (framesPerView == 0 || view.frames != nullptr) &&
            _r3xAreBitmapFrames(view.frames, framesPerView);
  });
  return valid;
}

std::size_t countViews(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount) {
  std::size_t views = 0;
  forEachView(viewSets, viewSetCount, [&](const R3x2DSpriteView&) { ++views; });
  return views;
}

void releaseViewFrames(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount,
                       std::uint32_t framesPerView) {
  forEachView(viewSets, viewSetCount,
              [&](R3x2DSpriteView& view) { _r3xReleaseBitmapFrames(view.frames, framesPerView); });
}

// Copies of every view's frames in view order with a reference on each frame's bitmap, or null
// with nothing referenced.
R3xBitmapHandle** copyViewFrames(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount,
                                 std::uint32_t framesPerView, std::size_t viewCount) {
  auto** copies = static_cast<R3xBitmapHandle**>(r3xMalloc(viewCount * sizeof(R3xBitmapHandle*)));
  if (viewCount > 0 && copies == nullptr) {
    return nullptr;
  }
  const std::size_t bytes = std::size_t{framesPerView} * sizeof(R3xBitmapHandle);
  std::size_t made = 0;
  bool copied = true;
  forEachView(viewSets, viewSetCount, [&](const R3x2DSpriteView& view) {
    if (!copied) {
      return;
    }
    auto* frames = static_cast<R3xBitmapHandle*>(r3xMalloc(bytes));
    if (frames == nullptr || _r3xReferenceBitmapFrames(view.frames, framesPerView) != 0) {
      r3xFree(frames);
      copied = false;
      return;
    }
    for (std::uint32_t f = 0; f < framesPerView; ++f) {
      frames[f] = view.frames[f];
    }
    copies[made++] = frames;
  });
  if (copied) {
    return copies;
  }
  for (std::size_t i = made; i-- > 0;) {
    _r3xReleaseBitmapFrames(copies[i], framesPerView);
    r3xFree(copies[i]);
  }
  r3xFree(copies);
  return nullptr;
}

void freeViewSets(R3x2DSpriteViewSet* viewSets, std::uint32_t viewSetCount) {
  forEachView(viewSets, viewSetCount, [](R3x2DSpriteView& view) { r3xFree(view.frames); });
  for (std::uint32_t s = 0; s < viewSetCount; ++s) {
    r3xFree(viewSets[s].views);
  }
  r3xFree(viewSets);
}

R3x2DSprite* makeDefaultInstance(R3x2DSpriteDef* definition, const R3xSurface* surface,
                                 std::int32_t currentFrame, std::uint32_t delay,
                                 std::int32_t skipFrames, const float* offset, R3xVolume* volume) {
  auto* instance = static_cast<R3x2DSprite*>(r3xMalloc(sizeof(R3x2DSprite)));
  auto* corners = static_cast<std::int32_t*>(r3xMalloc(kQuadCorners * sizeof(std::int32_t)));
  if (instance == nullptr || corners == nullptr) {
    r3xFree(instance);
    r3xFree(corners);
    return nullptr;
  }
  instance->header = {R3X_TYPE_2D_SPRITE, -1, nullptr, 0, 1};
  instance->volume = volume == nullptr ? r3xEmptyVolume() : volume;
  if (surface != nullptr) {
    instance->surface = *surface;
  }
  instance->surface.type = R3X_TYPE_SURFACE;
  // The sprite's frames are its texture; a UV array would belong to nobody.
  instance->surface.texture = nullptr;
  instance->surface.uv = nullptr;
  instance->currentFrame = currentFrame;
  instance->delay = delay;
  instance->skipFrames = skipFrames;
  for (int k = 0; k < 3; ++k) {
    instance->offset[k] = offset == nullptr ? 0.0f : offset[k];
  }
  instance->definition = definition;
  for (std::int32_t i = 0; i < kQuadCorners; ++i) {
    corners[i] = i;
  }
  instance->quad.type = R3X_TYPE_3D_SPRITE_FACE;
  instance->quad.vertexCount = kQuadCorners;
  instance->quad.vertexIndexes = corners;
  return instance;
}

void freeDefaultInstance(R3x2DSprite* instance) {
  r3xFree(instance->quad.vertexIndexes);
  r3xFree(instance);
}

}  // namespace

R3x2DSpriteDef* r3xCreate2DSpriteDef(R3xWorld* world, const char* tag, std::uint32_t framesPerView,
                                     std::uint32_t viewSetCount, R3x2DSpriteViewSet* viewSets,
                                     float sizeX, float sizeY, float depthScale,
                                     const R3xSurface* surface, std::int32_t currentFrame,
                                     std::uint32_t delay, std::int32_t skipFrames,
                                     const float* offset, R3xVolume* volume, float radius) {
  R3x2DSpriteDef* definition = nullptr;
  if (!_r3xBeginDefinition(world, tag, R3X_TYPE_2D_SPRITE_DEF, &definition, [&] {
        return viewsShowBitmaps(viewSets, viewSetCount, framesPerView);
      })) {
    return definition;
  }
  definition->framesPerView = framesPerView;
  definition->viewSetCount = viewSetCount;
  definition->viewSets = viewSets;
  definition->sizeX = sizeX;
  definition->sizeY = sizeY;
  definition->depthScale = depthScale;
  definition->radius = radius;
  R3x2DSprite* instance =
      makeDefaultInstance(definition, surface, currentFrame, delay, skipFrames, offset, volume);
  if (instance != nullptr && r3xRegisterObject(world, &instance->header) == 0) {
    const std::size_t viewCount = countViews(viewSets, viewSetCount);
    R3xBitmapHandle** copies = copyViewFrames(viewSets, viewSetCount, framesPerView, viewCount);
    if (copies != nullptr) {
      std::size_t next = 0;
      forEachView(viewSets, viewSetCount,
                  [&](R3x2DSpriteView& view) { view.frames = copies[next++]; });
      r3xFree(copies);
      definition->defaultInstance = instance;
      return definition;
    }
    r3xUnregisterObject(world, &instance->header);
  }
  if (instance != nullptr) {
    freeDefaultInstance(instance);
  }
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return nullptr;
}

std::int32_t r3xDestroy2DSpriteDef(R3xWorld* world, R3x2DSpriteDef* definition) {
  if (definition == nullptr) {
    return R3X_ERR_FAILED;
  }
  R3x2DSprite* instance = definition->defaultInstance;
  if (definition->header.refCount != 1 || instance->header.refCount != 1) {
    return R3X_ERR_DEF_IN_USE;
  }
  r3xDestroyVolume(world, instance->volume);
  releaseViewFrames(definition->viewSets, definition->viewSetCount, definition->framesPerView);
  freeViewSets(definition->viewSets, definition->viewSetCount);
  _r3xUnregisterTagged(world, &instance->header);
  freeDefaultInstance(instance);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return 0;
}

R3x2DSprite* r3xCreate2DSprite(R3xWorld* world, R3x2DSpriteDef* definition,
                               const R3xVolume* volume) {
  if (definition == nullptr) {
    return nullptr;
  }
  const R3x2DSprite& source = *definition->defaultInstance;
  auto* sprite = static_cast<R3x2DSprite*>(r3xMalloc(sizeof(R3x2DSprite)));
  if (sprite == nullptr) {
    return nullptr;
  }
  *sprite = source;
  sprite->header.refCount = 0;
  sprite->startTime = world->time + sprite->delay;
  sprite->volume = r3xCopyVolume(world, volume == nullptr ? source.volume : volume);
  if (sprite->volume == nullptr) {
    r3xFree(sprite);
    return nullptr;
  }
  if (_r3xRegisterInstance(world, &sprite->header, &definition->header) != 0) {
    r3xDestroyVolume(world, sprite->volume);
    r3xFree(sprite);
    return nullptr;
  }
  return sprite;
}

std::int32_t r3xDestroy2DSprite(R3xWorld* world, R3x2DSprite* sprite) {
  if (sprite == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (sprite->header.refCount != 0 || sprite->definition->defaultInstance == sprite) {
    return R3X_ERR_DEFAULT_INSTANCE;
  }
  r3xDestroyVolume(world, sprite->volume);
  _r3xUnregisterInstance(world, &sprite->header, &sprite->definition->header);
  r3xFree(sprite);
  return 0;
}

R3xRenderMethod r3xGet2DSpriteRenderMethod(const R3x2DSprite* sprite) {
  return sprite->surface.renderMethod;
}

std::int32_t r3xSet2DSpriteRenderMethod(const R3xIndirectRenderMethods* indirect,
                                        R3x2DSprite* sprite, R3xRenderMethod method) {
  if (!_r3xIsRenderMethodResolvable(indirect, method)) {
    return R3X_ERR_FAILED;
  }
  sprite->surface.renderMethod = method;
  return 0;
}

float r3xGet2DSpriteRadius(const R3x2DSpriteDef* definition) { return definition->radius; }
