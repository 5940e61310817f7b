// The pixel stages, built three times: eight lanes for the base x86-64 instruction set, eight for
// AVX2 and sixteen for AVX-512 (the last two read texels with gathers). The processor
// picks the widest build it runs when first drawn; spans whose rows are all eight pixels or
// shorter take the eight-lane build, which wastes fewer lanes on them. Every build gives the same
// pixels.
// Wide vectors pass between the inlined helpers only (the pixel packing of base/ among them),
// never across a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#if defined(__x86_64__) || defined(__i386__)
#define ARENA_X86 1
#include <immintrin.h>
#else
#define ARENA_X86 0
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/glide/pixel_pipeline.h"

// The pipeline's helpers are inlined into each build of the stages, so that each is compiled for
// that build's instruction set.
#define ARENA_STAGE inline __attribute__((always_inline))
// Each stage's loop over the groups that go side by side is unrolled, so that the groups' values
// stay in registers.
#define ARENA_EACH_GROUP _Pragma("GCC unroll 4")

namespace platform::glide {
namespace {

namespace base_build {
#define ARENA_LANES 8
#define ARENA_ISA 0
#include "platform/glide/span_stages.h"
#undef ARENA_ISA
#undef ARENA_LANES
}  // namespace base_build

// Every function of a build is compiled for its instruction set (the two compilers spell it
// differently). Other processors than x86 draw with the base build alone.
#if ARENA_X86
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace avx2_build {
#define ARENA_LANES 8
#define ARENA_ISA 1
#include "platform/glide/span_stages.h"
#undef ARENA_ISA
#undef ARENA_LANES
}  // namespace avx2_build
#if defined(__clang__)
#pragma clang attribute pop
#pragma clang attribute push(__attribute__((target("avx2,avx512f,avx512bw,avx512dq,avx512vl"))), \
                             apply_to = function)
#else
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512dq,avx512vl")
#endif
namespace avx512_build {
#define ARENA_LANES 16
#define ARENA_ISA 2
#include "platform/glide/span_stages.h"
#undef ARENA_ISA
#undef ARENA_LANES
}  // namespace avx512_build
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif  // ARENA_X86

}  // namespace

bool StageBuildRuns(StageBuild build) {
#if ARENA_X86
  switch (build) {
    case StageBuild::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
    case StageBuild::kAvx2:
      return __builtin_cpu_supports("avx2");
    case StageBuild::kBase:
      return true;
  }
  return false;
#else
  return build == StageBuild::kBase;
#endif
}

StageBuild& StageBuildCap() {
  static StageBuild cap = StageBuild::kAvx512;
  return cap;
}

void SayDrawingStageBuild() {
  static bool said = false;
  if (said) {
    return;
  }
  said = true;
  const StageBuild cap = StageBuildCap();
  const char* note = "the base x86-64 build (the processor has no AVX2)";
  if (StageBuildRuns(StageBuild::kAvx512) && cap == StageBuild::kAvx512) {
    note = "the AVX-512 build (spans of rows all eight pixels or shorter: the AVX2 build)";
  } else if (StageBuildRuns(StageBuild::kAvx2) && cap != StageBuild::kBase) {
    note = cap == StageBuild::kAvx2 ? "the AVX2 build (capped there)"
                                    : "the AVX2 build (the processor has no AVX-512)";
  } else if (cap == StageBuild::kBase) {
    note = "the base x86-64 build (capped there)";
  }
  std::fprintf(stderr, "software board: the pixel stages draw with %s\n", note);
  std::fflush(stderr);
}

void RenderSpans(const DrawSetup& setup, const Span* spans, int count, const Fragment& step,
                 const Gradients* gradients) {
  static const bool avx512 = StageBuildRuns(StageBuild::kAvx512);
  static const bool avx2 = StageBuildRuns(StageBuild::kAvx2);
  const StageBuild cap = StageBuildCap();
  int longest = 0;
  for (int i = 0; i < count; ++i) {
    longest = std::max(longest, spans[i].count);
  }
#if ARENA_X86
  if (avx512 && cap == StageBuild::kAvx512 && longest > 8) {
    avx512_build::RenderSpansStages(setup, spans, count, step, gradients);
    return;
  }
  if (avx2 && cap != StageBuild::kBase) {
    avx2_build::RenderSpansStages(setup, spans, count, step, gradients);
    return;
  }
#endif
  base_build::RenderSpansStages(setup, spans, count, step, gradients);
}

}  // namespace platform::glide
