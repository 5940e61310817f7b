#include "battle/effects/flare_and_particles.h"

#include <algorithm>

#include "battle/effects/ambient_table.h"
#include "battle/effects/lens_flare.h"
#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_state.h"
#include "battle/effects/sky_view.h"
#include "engine/r3x_core.h"

namespace {

// Rain streaks are a little brighter than the time of day's ambient light.
constexpr float kRainBrightening = 0.2f;
constexpr float kFullChannel = 255.0f;
constexpr float kBurstAlpha = 128.0f;
constexpr float kSparkHeight = 2.0f;
constexpr float kRingAlpha = 128.0f;

struct LineEnd {
  float position[3];
  float red, green, blue, alpha;
};

// Draws the particles of one frame through the board: each kind its own blend, set when the kind
// changes from one live entry to the next.
class ParticleDrawer {
 public:
  ParticleDrawer(const R3xRenderContext& context, const R3xCamera& camera, float rainGrey)
      : context_(context), camera_(camera), rainGrey_(rainGrey) {}

  void operator()(const Particle& particle) {
    if (particle.kind != lastKind_) {
      SetBlend(particle.kind);
      lastKind_ = particle.kind;
    }
    switch (particle.kind) {
      case ParticleKind::kRainDrop:
        Line({{particle.x - particle.vx, particle.y - particle.vy, particle.z - particle.vz},
              rainGrey_,
              rainGrey_,
              rainGrey_,
              0.0f},
             {{particle.x, particle.y, particle.z}, rainGrey_, rainGrey_, rainGrey_, kFullChannel});
        break;
      case ParticleKind::kBurst:
        Point({{particle.x, particle.y, particle.z},
               static_cast<float>(particle.red),
               static_cast<float>(particle.green),
               static_cast<float>(particle.blue),
               kBurstAlpha});
        break;
      case ParticleKind::kSpark:
        Line({{particle.x, particle.y, particle.z + kSparkHeight}, 120.0f, 120.0f, 255.0f, 64.0f},
             {{particle.x, particle.y, particle.z}, 60.0f, 60.0f, 255.0f, 255.0f});
        break;
      case ParticleKind::kRingSegment:
        Line({{particle.vx, particle.vy, particle.vz}, 255.0f, 0.0f, 0.0f, kRingAlpha},
             {{particle.x, particle.y, particle.z}, 255.0f, 0.0f, 0.0f, kRingAlpha});
        break;
      case ParticleKind::kFree:
        break;
    }
  }

 private:
  static void SetBlend(ParticleKind kind) {
    if (kind == ParticleKind::kRainDrop) {
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                           GR_BLEND_ZERO);
    } else {
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
    }
  }

  // The end in the view volume, or false.
  bool Place(const LineEnd& end, GrVertex* vertex) const {
    const ClipPoint clip = ToClipSpace(context_, camera_, end.position);
    if (!InViewVolume(context_, clip)) {
      return false;
    }
    *vertex = ProjectToScreen(context_, clip);
    vertex->r = end.red;
    vertex->g = end.green;
    vertex->b = end.blue;
    vertex->a = end.alpha;
    return true;
  }

  // Drawn only when both ends are in the view volume, the ends on whole pixels.
  void Line(const LineEnd& from, const LineEnd& to) const {
    GrVertex a;
    GrVertex b;
    if (!Place(from, &a) || !Place(to, &b)) {
      return;
    }
    for (GrVertex* vertex : {&a, &b}) {
      int x = 0;
      int y = 0;
      r3xRoundFloatsToInts(vertex->x, vertex->y, &x, &y);
      vertex->x = static_cast<float>(x);
      vertex->y = static_cast<float>(y);
    }
    grDrawLine(&a, &b);
  }

  void Point(const LineEnd& at) const {
    GrVertex vertex;
    if (Place(at, &vertex)) {
      grDrawPoint(&vertex);
    }
  }

  const R3xRenderContext& context_;
  const R3xCamera& camera_;
  float rainGrey_;
  ParticleKind lastKind_ = ParticleKind::kFree;
};

}  // namespace

std::int32_t DrawFlareAndParticles(SkyState* sky) {
  if (sky->camera == nullptr || !IsReadyForSky(sky->renderContext)) {
    return R3X_ERR_FAILED;
  }
  R3xRenderContext& context = *sky->renderContext;
  context.clipMask = kClipAllButFar;
  grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
               GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, FXFALSE, FXFALSE);
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  // A flare texture that fails still leaves this frame's particles to draw and age.
  const std::int32_t result = DrawLensFlare(*sky);
  CParticlePool* pool = sky->particles;
  if (pool != nullptr && pool->Count() != 0) {
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    const std::size_t step =
        static_cast<std::size_t>(std::clamp(sky->step, 0, kTimeOfDaySteps - 1));
    const float grey = std::min(AmbientTable[step] + kRainBrightening, 1.0f) * kFullChannel;
    pool->DrawAndAge(*sky->camera, ParticleDrawer(context, *sky->camera, grey));
  }
  return result;
}
