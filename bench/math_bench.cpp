// The engine's table and seed math against the C++ library's equivalents.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"

namespace {

constexpr std::size_t kInputCount = 1024;
constexpr float kRadiansPerUnit = 2.0f * std::numbers::pi_v<float> / 512.0f;

// Builds the tables once for the whole program.
struct Tables {
  Tables() { _r3xInitMathTables(); }
  ~Tables() { _r3xFreeMathTables(); }
};
const Tables kTables;

std::vector<float> inputs(float low, float high) {
  std::mt19937 generator(512);
  std::uniform_real_distribution<float> distribution(low, high);
  std::vector<float> values(kInputCount);
  for (float& value : values) {
    value = distribution(generator);
  }
  return values;
}

template <typename F>
void runUnary(benchmark::State& state, const std::vector<float>& values, F f) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(f(values[i]));
    i = (i + 1) % kInputCount;
  }
}

void BM_SinUnits(benchmark::State& state) { runUnary(state, inputs(-1024, 1024), r3xSinUnits); }
void BM_StdSin(benchmark::State& state) {
  runUnary(state, inputs(-1024, 1024), [](float a) { return std::sin(a * kRadiansPerUnit); });
}
void BM_CosUnits(benchmark::State& state) { runUnary(state, inputs(-1024, 1024), r3xCosUnits); }
void BM_StdCos(benchmark::State& state) {
  runUnary(state, inputs(-1024, 1024), [](float a) { return std::cos(a * kRadiansPerUnit); });
}
void BM_Sqrt(benchmark::State& state) { runUnary(state, inputs(0, 1e6f), r3xSqrt); }
void BM_StdSqrt(benchmark::State& state) {
  runUnary(state, inputs(0, 1e6f), [](float x) { return std::sqrt(x); });
}
void BM_InvSqrt(benchmark::State& state) { runUnary(state, inputs(1e-3f, 1e6f), r3xInvSqrt); }
void BM_StdInvSqrt(benchmark::State& state) {
  runUnary(state, inputs(1e-3f, 1e6f), [](float x) { return 1.0f / std::sqrt(x); });
}

void BM_Atan2Units(benchmark::State& state) {
  const std::vector<float> ys = inputs(-100, 100);
  const std::vector<float> xs = inputs(-50, 50);
  std::size_t i = 0;
  int exact = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(r3xAtan2Units(ys[i], xs[(i * 7) % kInputCount], &exact));
    i = (i + 1) % kInputCount;
  }
}
void BM_StdAtan2(benchmark::State& state) {
  const std::vector<float> ys = inputs(-100, 100);
  const std::vector<float> xs = inputs(-50, 50);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::atan2(ys[i], xs[(i * 7) % kInputCount]));
    i = (i + 1) % kInputCount;
  }
}

void BM_AnglesToMatrix(benchmark::State& state) {
  const std::vector<float> angles = inputs(0, 512);
  std::array<float, 9> m{};
  std::size_t i = 0;
  for (auto _ : state) {
    r3xAnglesToMatrix(angles[i], angles[(i + 1) % kInputCount], angles[(i + 2) % kInputCount],
                      m.data());
    benchmark::DoNotOptimize(m);
    i = (i + 1) % kInputCount;
  }
}
void BM_AnglesToMatrixInterp(benchmark::State& state) {
  const std::vector<float> angles = inputs(0, 512);
  std::array<float, 9> m{};
  std::size_t i = 0;
  for (auto _ : state) {
    r3xAnglesToMatrixInterp(angles[i], angles[(i + 1) % kInputCount], angles[(i + 2) % kInputCount],
                            m.data());
    benchmark::DoNotOptimize(m);
    i = (i + 1) % kInputCount;
  }
}
// The same rows from the library's sine and cosine.
void BM_StdAnglesToMatrix(benchmark::State& state) {
  const std::vector<float> angles = inputs(0, 512);
  std::array<float, 9> m{};
  std::size_t i = 0;
  for (auto _ : state) {
    const float h = angles[i] * kRadiansPerUnit;
    const float p = angles[(i + 1) % kInputCount] * kRadiansPerUnit;
    const float r = angles[(i + 2) % kInputCount] * kRadiansPerUnit;
    const float sH = std::sin(h), cH = std::cos(h), sP = std::sin(p), cP = std::cos(p);
    const float sR = std::sin(r), cR = std::cos(r);
    m = {cP * cH,
         cP * sH,
         sP,
         -sR * sP * cH - cR * sH,
         cR * cH - sR * sP * sH,
         sR * cP,
         sR * sH - cR * sP * cH,
         -cR * sP * sH - sR * cH,
         cP * cR};
    benchmark::DoNotOptimize(m);
    i = (i + 1) % kInputCount;
  }
}

}  // namespace

BENCHMARK(BM_SinUnits);
BENCHMARK(BM_StdSin);
BENCHMARK(BM_CosUnits);
BENCHMARK(BM_StdCos);
BENCHMARK(BM_Sqrt);
BENCHMARK(BM_StdSqrt);
BENCHMARK(BM_InvSqrt);
BENCHMARK(BM_StdInvSqrt);
BENCHMARK(BM_Atan2Units);
BENCHMARK(BM_StdAtan2);
BENCHMARK(BM_AnglesToMatrix);
BENCHMARK(BM_AnglesToMatrixInterp);
BENCHMARK(BM_StdAnglesToMatrix);

BENCHMARK_MAIN();
