// Sprite queueing for the world draw: 2D sprite quads turned to the viewer, and 3D sprite faces
// placed from the actor's vertex cache and walked back to front through the face tree.
#include <cmath>
#include <cstdint>

#include "engine/core/actor.h"
#include "engine/core/actor_rotation.h"
#include "engine/core/bitmap.h"
#include "engine/core/bitmap_internal.h"
#include "engine/core/error.h"
#include "engine/core/math_trig.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/world.h"
#include "engine/display/glide_draw_list_internal.h"
#include "engine/display/glide_sprite_queue_internal.h"

namespace {

constexpr float kNearlyZero = 0.0001f;
// Set on a render method word by the world files; not a drawing bit.
constexpr R3xRenderMethod kSpriteLoaderBit = 0x20;
// Face-walk states: in front and not yet queued, behind and its second subtree still to walk;
// the two done states are never acted on.
constexpr std::uint32_t kFrontPending = 1;
constexpr std::uint32_t kBehindDone = 2;
constexpr std::uint32_t kBehindPending = 3;
constexpr std::uint32_t kFrontDone = 4;

// The frame's 2D sprite corners (xyz) and texture coordinates (u, v), four of each a sprite.
float cornerStore[R3X_GLIDE_2D_SPRITES * 4 * 3];
float uvStore[R3X_GLIDE_2D_SPRITES * 4 * 2];
// Each queued sprite's own copy of its surface: actors of one definition share the sprite, and
// each must keep the frame and mapping it was queued with until the passes draw it.
R3xSurface surfaceStore[R3X_GLIDE_2D_SPRITES];
std::uint32_t spriteCount = 0;

R3xActor* ActorOf(R3xWorld* world, const R3xObjectEntry* entry) {
  const R3xSlotTable& actors = world->actors;
  if (entry->object < 0 || actors.slots == nullptr ||
      static_cast<std::uint32_t>(entry->object) >= actors.capacity) {
    return nullptr;
  }
  R3xObjectHeader* object = actors.slots[entry->object].object;
  return object != nullptr && object->type == R3X_TYPE_ACTOR ? reinterpret_cast<R3xActor*>(object)
                                                             : nullptr;
}

// An indirect method that the table cannot resolve draws nothing.
R3xRenderMethod Resolve(const R3xRenderContext* context, R3xRenderMethod method) {
  if ((method & R3X_RENDER_INDIRECT) == 0) {
    return method;
  }
  const std::uint32_t index = method & R3X_RENDER_INDIRECT_INDEX;
  return index < context->indirect.count ? context->indirect.methods[index] : 0;
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Set(float* out, float x, float y, float z) {
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

// The first entry whose limit is above the angle, else the last.
template <typename View, typename Limit>
std::uint32_t ChooseView(const View* views, std::uint32_t count, float angle, Limit limit) {
  for (std::uint32_t i = 0; i + 1 < count; ++i) {
    if (limit(views[i]) > angle) {
      return i;
    }
  }
  return count - 1;
}

// The quad's corners in the actor's frame, before the facing turn.
void SpriteCorners(const R3x2DSprite* sprite, float scale, bool upright, bool below,
                   float corners[4][3]) {
  const float* o = sprite->offset;
  const R3x2DSpriteDef* def = sprite->definition;
  const float w = def->sizeX * scale;
  const float t = def->sizeY * scale;
  const float d = (below ? -def->depthScale : def->depthScale) * scale;
  if (upright) {
    Set(corners[0], o[0], o[1] - w, o[2] - t);
    Set(corners[1], o[0], o[1] - w, o[2] + t);
    Set(corners[2], o[0], o[1] + w, o[2] + t);
    Set(corners[3], o[0], o[1] + w, o[2] - t);
  } else {
    Set(corners[0], o[0] + d, o[1] - w, o[2]);
    Set(corners[1], o[0] - d, o[1] - w, o[2]);
    Set(corners[2], o[0] - d, o[1] + w, o[2]);
    Set(corners[3], o[0] + d, o[1] + w, o[2]);
  }
}

// The images of the three axes under the turn that faces the quad to the viewer v; false when
// the viewer is at the actor's centre and nothing turns.
bool FacingTurn(const float* v, bool upright, float turn[3][3]) {
  const float h2 = v[0] * v[0] + v[1] * v[1];
  const float d2 = h2 + v[2] * v[2];
  if (d2 <= kNearlyZero) {
    return false;
  }
  const float dist = std::sqrt(d2);
  if (upright) {
    Set(turn[0], v[0] / dist, v[1] / dist, v[2] / dist);
    if (h2 > kNearlyZero) {
      const float h = std::sqrt(h2);
      Set(turn[1], -v[1] / h, v[0] / h, 0.0f);
      Set(turn[2], -v[0] * v[2] / (h * dist), -v[1] * v[2] / (h * dist), h2 / (h * dist));
    } else {
      Set(turn[1], 0.0f, 1.0f, 0.0f);
      Set(turn[2], -v[2] / dist, 0.0f, 0.0f);
    }
    return true;
  }
  const float a = std::fabs(v[2]);
  const float s2 = v[1] * v[1] + v[2] * v[2];
  Set(turn[2], v[0] / dist, v[1] / dist, a / dist);
  if (s2 > kNearlyZero) {
    const float s = std::sqrt(s2);
    Set(turn[0], s2 / (dist * s), -v[0] * v[1] / (dist * s), -a * v[0] / (dist * s));
    Set(turn[1], 0.0f, a / s, -v[1] / s);
  } else {
    Set(turn[0], 0.0f, 0.0f, -a / dist);
    Set(turn[1], 0.0f, 1.0f, 0.0f);
  }
  return true;
}

bool InFront(const R3x3DSpriteFace* face, const float* viewer) {
  return Dot(face->polygon.normal, viewer) > -face->polygon.distance;
}

// The face-walk stack over the render context's render-vertex list: a state and a face index.
struct FaceWalk {
  R3xRenderVertex* entries;
  std::uint32_t capacity;
  std::uint32_t count;
  const R3x3DSpriteFace* faces;

  // False when the stack is full: a tree whose faces share subtrees could need more room than
  // it has faces; the walk then stops rather than write past the stack.
  bool Push(std::uint32_t state, const R3x3DSpriteFace* face) {
    if (count == capacity) {
      return false;
    }
    entries[count++] = R3xRenderVertex{{state, static_cast<std::uint32_t>(face - faces)}};
    return true;
  }
  bool Descend(const R3x3DSpriteFace* face, const float* viewer) {
    while (face != nullptr) {
      const bool front = InFront(face, viewer);
      if (!Push(front ? kFrontPending : kBehindPending, face)) {
        return false;
      }
      face = front ? face->back : face->front;
    }
    return true;
  }
};

void QueueFace(R3xRenderContext* context, const R3x3DSpriteDef* def, const R3xSurface* surfaces,
               const R3x3DSpriteFace* face, const float* vertices) {
  if (face->index >= def->faceCount) {
    return;
  }
  const R3xSurface* surface = &surfaces[face->index];
  const R3xRenderMethod method = Resolve(context, surface->renderMethod);
  if (method != 0) {
    _r3xGlideQueuePolygon(context, &face->polygon, vertices, surface, method);
  }
}

// 1, or -1 when the stack cannot be made.
std::int32_t QueueFaces(R3xRenderContext* context, const R3x3DSprite* sprite, const float* vertices,
                        const float* viewer) {
  const R3x3DSpriteDef* def = sprite->definition;
  const R3xSurface* surfaces =
      sprite->surfaces != nullptr ? sprite->surfaces : def->defaultInstance->surfaces;
  R3xRenderWorkArrays* work = &context->work;
  if (work->renderVertexCapacity <= def->faceCount) {
    r3xFree(work->renderVertices);
    work->renderVertices = nullptr;
    work->renderVertexCapacity = 0;
    if (_r3xAllocRenderVertexList(work, def->faceCount + 1) != R3X_DONE) {
      return -1;
    }
  }
  if (def->root == nullptr || surfaces == nullptr) {
    return 1;
  }
  FaceWalk walk{work->renderVertices, work->renderVertexCapacity, 0, def->faces};
  bool room = walk.Descend(def->root, viewer);
  while (room && walk.count > 0) {
    const R3xRenderVertex top = walk.entries[--walk.count];
    const R3x3DSpriteFace* face = &def->faces[top.words[1]];
    if (top.words[0] == kFrontPending) {
      QueueFace(context, def, surfaces, face, vertices);
      room = walk.Push(kFrontDone, face) && walk.Descend(face->front, viewer);
    } else if (top.words[0] == kBehindPending) {
      room = walk.Push(kBehindDone, face) && walk.Descend(face->back, viewer);
    }
  }
  return 1;
}

// The cached world vertices, rebuilt when the key changed: 0 or R3X_ERR_SPRITE3D_NO_MEMORY.
std::int32_t PlaceVertices(R3xActor* actor, const R3x3DSpriteDef* def, const float* offset,
                           bool rebuild) {
  if (!rebuild) {
    return 0;
  }
  if (actor->vertexCacheCapacity < def->vertexCount || actor->vertexCache == nullptr) {
    r3xFree(actor->vertexCache);
    actor->vertexCache =
        static_cast<float*>(r3xMalloc(static_cast<std::size_t>(def->vertexCount) * 3 * 4));
    if (actor->vertexCache == nullptr) {
      actor->cachedOffset[0] = 1e30f;
      actor->vertexCacheCapacity = 0;
      return R3X_ERR_SPRITE3D_NO_MEMORY;
    }
    actor->vertexCacheCapacity = def->vertexCount;
  }
  const float* m = actor->scaledRotation;
  const float* t = &actor->placement.x;
  for (std::uint32_t i = 0; i < def->vertexCount; ++i) {
    const float* v = &def->vertices[3 * i];
    const float x = v[0] + offset[0];
    const float y = v[1] + offset[1];
    const float z = v[2] + offset[2];
    float* out = &actor->vertexCache[3 * i];
    for (int k = 0; k < 3; ++k) {
      out[k] = m[k] * x + m[3 + k] * y + m[6 + k] * z + t[k];
    }
  }
  return 0;
}

bool KeyChanged(const R3xActor* actor, std::int32_t lod, const float* offset) {
  const float* t = &actor->placement.x;
  for (int k = 0; k < 3; ++k) {
    if (actor->cachedPosition[k] != t[k] || actor->cachedOffset[k] != offset[k]) {
      return true;
    }
  }
  return actor->cachedLod != lod;
}

std::int32_t Queue3D(R3xRenderContext* context, R3xActor* actor, const R3x3DSprite* sprite,
                     std::int32_t lod) {
  const R3x3DSpriteDef* def = sprite->definition;
  const float* offset = sprite->offset;
  bool rebuild = false;
  if ((actor->header.flags & R3X_FLAG_TRANSFORM_DIRTY) != 0) {
    if (r3xBuildObjectRotation(actor, actor->scale, &actor->placement) < 0) {
      return R3X_ERR_SPRITE3D_ORIENT;
    }
    rebuild = true;
  } else {
    // A cache too small for this part (another part put in at the same level of detail) is
    // never read.
    rebuild = KeyChanged(actor, lod, offset) || actor->vertexCache == nullptr ||
              actor->vertexCacheCapacity < def->vertexCount;
  }
  actor->cachedLod = lod;
  for (int k = 0; k < 3; ++k) {
    actor->cachedPosition[k] = (&actor->placement.x)[k];
    actor->cachedOffset[k] = offset[k];
  }
  const std::int32_t placed = PlaceVertices(actor, def, offset, rebuild);
  if (placed < 0) {
    return placed;
  }
  const float* m = actor->scaledRotation;
  const float* t = &actor->placement.x;
  float centre[3];
  for (int k = 0; k < 3; ++k) {
    centre[k] = m[k] * offset[0] + m[3 + k] * offset[1] + m[6 + k] * offset[2] + t[k];
  }
  if (r3xSphereInView(context, centre[0], centre[1], centre[2], def->radius * actor->scale) ==
      R3X_SPHERE_OUTSIDE) {
    return 1;
  }
  if (context->planeMask != 0) {
    context->planeMask = context->clipFlags;
  }
  const float* inv = actor->inverseRotation;
  float d[3];
  for (int k = 0; k < 3; ++k) {
    d[k] = -context->translation[k] - t[k];
  }
  float viewer[3];
  for (int k = 0; k < 3; ++k) {
    viewer[k] = inv[k] * d[0] + inv[3 + k] * d[1] + inv[6 + k] * d[2] - offset[k];
  }
  return QueueFaces(context, sprite, actor->vertexCache, viewer) < 0 ? R3X_ERR_SPRITE3D_FACES : 1;
}

}  // namespace

void _r3xGlideResetSpriteStores() { spriteCount = 0; }

std::int32_t _r3xGlideQueue2DSprite(R3xWorld* world, R3xRenderContext* context,
                                    const R3xObjectEntry* entry, R3x2DSprite* sprite) {
  const R3xRenderMethod method = Resolve(context, sprite->surface.renderMethod) & ~kSpriteLoaderBit;
  R3xActor* actor = ActorOf(world, entry);
  const R3x2DSpriteDef* def = sprite->definition;
  if (method == 0 || actor == nullptr || def->viewSetCount == 0 ||
      spriteCount == R3X_GLIDE_2D_SPRITES) {
    return 1;
  }
  const R3xPlacement& p = actor->placement;
  const float sh = r3xSinUnitsNearest(p.heading), ch = r3xCosUnitsNearest(p.heading);
  const float se = r3xSinUnitsNearest(p.pitch), ce = r3xCosUnitsNearest(p.pitch);
  const float sr = r3xSinUnitsNearest(p.roll), cr = r3xCosUnitsNearest(p.roll);
  const float axes[3][3] = {{ce * ch, ce * sh, se},
                            {-sr * se * ch - cr * sh, cr * ch - sr * se * sh, sr * ce},
                            {sr * sh - cr * se * ch, -cr * se * sh - sr * ch, ce * cr}};
  const float d[3] = {-context->translation[0] - p.x, -context->translation[1] - p.y,
                      -context->translation[2] - p.z};
  const float v[3] = {Dot(axes[0], d), Dot(axes[1], d), Dot(axes[2], d)};
  const float h2 = v[0] * v[0] + v[1] * v[1];
  const float h = std::sqrt(h2);
  int exact = 0;

  std::uint32_t set = 0;
  if (def->viewSetCount > 1) {
    float pitch = v[2] > 0.0f ? 128.0f : -128.0f;
    if (h2 > kNearlyZero) {
      pitch = r3xAtan2Units(v[2], h, &exact);
      if (pitch > 256.0f) {
        pitch -= 512.0f;
      }
    }
    set = ChooseView(def->viewSets, def->viewSetCount, pitch,
                     [](const R3x2DSpriteViewSet& s) { return s.pitchCap; });
  }
  const R3x2DSpriteViewSet& views = def->viewSets[set];
  if (views.viewCount == 0) {
    return 1;
  }
  std::uint32_t view = 0;
  if (views.viewCount > 1) {
    const float heading = h2 > kNearlyZero ? r3xAtan2Units(v[1], -v[0], &exact) : 0.0f;
    view = ChooseView(views.views, views.viewCount, heading,
                      [](const R3x2DSpriteView& s) { return s.headingCap; });
  }
  // A frame index beyond the view's frames skips the sprite.
  if (sprite->currentFrame < 0 ||
      static_cast<std::uint32_t>(sprite->currentFrame) >= def->framesPerView) {
    return 1;
  }
  const R3xBitmapHandle handle = views.views[view].frames[sprite->currentFrame];
  R3xBitmap* bitmap = handle != nullptr ? _r3xBitmapOf(handle) : nullptr;
  if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) {
    return 1;
  }

  const bool upright = views.topOrBottomView == 0;
  float corners[4][3];
  SpriteCorners(sprite, actor->scale, upright, v[2] < 0.0f, corners);
  float turn[3][3];
  const bool turned = FacingTurn(v, upright, turn);
  float* worldCorners = &cornerStore[spriteCount * 12];
  float* uv = &uvStore[spriteCount * 8];
  ++spriteCount;
  for (int c = 0; c < 4; ++c) {
    float g[3] = {corners[c][0], corners[c][1], corners[c][2]};
    if (turned) {
      for (int k = 0; k < 3; ++k) {
        g[k] = corners[c][0] * turn[0][k] + corners[c][1] * turn[1][k] + corners[c][2] * turn[2][k];
      }
    }
    const float* t = &p.x;
    for (int k = 0; k < 3; ++k) {
      worldCorners[3 * c + k] = t[k] + g[0] * axes[0][k] + g[1] * axes[1][k] + g[2] * axes[2][k];
    }
  }
  const auto width = static_cast<float>(bitmap->width);
  const auto height = static_cast<float>(bitmap->height);
  const float texels[8] = {0.0f,         0.0f,          0.0f,         height - 1.0f,
                           width - 1.0f, height - 1.0f, width - 1.0f, 0.0f};
  for (int i = 0; i < 8; ++i) {
    uv[i] = texels[i];
  }
  R3xSurface& surface = sprite->surface;
  surface.texture = &bitmap->header;
  surface.uv = uv;
  for (int k = 0; k < 3; ++k) {
    surface.uvOrigin[k] = worldCorners[k];
    surface.uAxis[k] = (worldCorners[9 + k] - worldCorners[k]) / width;
    surface.vAxis[k] = (worldCorners[3 + k] - worldCorners[k]) / height;
  }
  R3xSurface& queued = surfaceStore[spriteCount - 1];
  queued = surface;
  _r3xGlideQueuePolygon(context, &sprite->quad, worldCorners, &queued, method);
  return 1;
}

std::int32_t _r3xGlideQueue3DSprite(R3xWorld* world, R3xRenderContext* context,
                                    const R3xObjectEntry* entry, R3x3DSprite* sprite,
                                    std::int32_t lod) {
  R3xActor* actor = ActorOf(world, entry);
  if (actor == nullptr) {
    return 1;
  }
  const std::uint32_t regionFlags = context->planeMask;
  const std::int32_t result = Queue3D(context, actor, sprite, lod);
  context->planeMask = regionFlags;
  return result;
}
