#include "tools/mkdata/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

using sound::SoundKind;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A repeatable noise source (xorshift), seeded per sound so that every sound differs.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed | 1u) {}
  // Uniform in [-1, 1).
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};

std::uint32_t SeedOf(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

// One-pole low-pass: the fraction of the gap closed each sample, for a cut-off in Hz.
double SmoothingOf(double cutoff, double rate) { return 1.0 - std::exp(-kTwoPi * cutoff / rate); }

// Low-passed noise of the given length.
std::vector<double> LowNoise(Noise& noise, std::size_t count, double cutoff, double rate) {
  std::vector<double> out(count);
  const double a = SmoothingOf(cutoff, rate);
  double level = 0.0;
  for (double& value : out) {
    level += a * (noise.Next() - level);
    value = level;
  }
  return out;
}

// Whole cycles of a frequency that fit a loop of `count` samples, at least one.
double LoopCycles(double frequency, std::size_t count, double rate) {
  return std::max(1.0, std::round(frequency * static_cast<double>(count) / rate));
}

// A loop made from a longer signal: its first `fade` samples blend into what follows its end,
// so the last sample runs on into the first.
std::vector<double> CrossfadeLoop(const std::vector<double>& longer, std::size_t count,
                                  std::size_t fade) {
  std::vector<double> out(longer.begin(), longer.begin() + static_cast<std::ptrdiff_t>(count));
  for (std::size_t i = 0; i < fade; ++i) {
    const double w = static_cast<double>(i) / static_cast<double>(fade);
    out[i] = longer[i] * w + longer[i + count] * (1.0 - w);
  }
  return out;
}

std::vector<double> EngineLoop(std::size_t n, double pitch, double rate) {
  const double cycles = LoopCycles(pitch, n, rate);
  const double throb = LoopCycles(7.0, n, rate);
  std::vector<double> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    double value = 0.0;
    for (int k = 1; k <= 6; ++k) {
      value += std::sin(kTwoPi * cycles * k * t + k) / k;
    }
    out[i] = value * (1.0 + 0.35 * std::sin(kTwoPi * throb * t));
  }
  return out;
}

std::vector<double> HumLoop(std::size_t n, double pitch, double rate) {
  const double cycles = LoopCycles(pitch, n, rate);
  std::vector<double> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    double value = 0.0;
    for (int k = 1; k <= 11; k += 2) {
      value += std::sin(kTwoPi * cycles * k * t) / k;
    }
    out[i] = value + 0.4 * std::sin(kTwoPi * cycles * 2 * t);
  }
  return out;
}

std::vector<double> ChargeLoop(std::size_t n, double pitch, double rate) {
  const double cycles = LoopCycles(pitch, n, rate);
  const double sweeps = LoopCycles(2.0, n, rate);
  std::vector<double> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(n);
    const double phase = kTwoPi * cycles * t + 40.0 * std::sin(kTwoPi * sweeps * t);
    out[i] = std::sin(phase) + 0.3 * std::sin(2.0 * phase);
  }
  return out;
}

std::vector<double> RoarLoop(Noise& noise, std::size_t n, double pitch, double rate) {
  const std::size_t fade = n / 4;
  std::vector<double> longer = LowNoise(noise, n + fade, pitch * 4.0, rate);
  const std::vector<double> rumble = LowNoise(noise, n + fade, pitch, rate);
  for (std::size_t i = 0; i < longer.size(); ++i) {
    longer[i] += 3.0 * rumble[i];
  }
  return CrossfadeLoop(longer, n, fade);
}

std::vector<double> RainLoop(Noise& noise, std::size_t n, double pitch, double rate) {
  const std::size_t fade = n / 4;
  // High hiss: white noise less its low part.
  std::vector<double> longer(n + fade);
  const double a = SmoothingOf(pitch, rate);
  double low = 0.0;
  for (double& value : longer) {
    const double white = noise.Next();
    low += a * (white - low);
    value = 0.3 * (white - low);
  }
  // Drops: short decaying pings at random places.
  for (int drop = 0; drop < 60; ++drop) {
    const auto at = static_cast<std::size_t>((noise.Next() + 1.0) * 0.5 * (n + fade - 400));
    const double frequency = 2000.0 + 1500.0 * (noise.Next() + 1.0);
    for (std::size_t i = 0; i < 400; ++i) {
      const double t = static_cast<double>(i) / rate;
      longer[at + i] += 0.25 * std::exp(-t * 150.0) * std::sin(kTwoPi * frequency * t);
    }
  }
  return CrossfadeLoop(longer, n, fade);
}

std::vector<double> Thunder(Noise& noise, std::size_t n, double pitch, double rate) {
  std::vector<double> out = LowNoise(noise, n, pitch * 2.0, rate);
  const std::vector<double> crack = LowNoise(noise, n, 2500.0, rate);
  const std::vector<double> swell = LowNoise(noise, n, 3.0, rate);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    out[i] = out[i] * (1.0 + 8.0 * std::abs(swell[i])) * std::exp(-t * 1.2) +
             crack[i] * std::exp(-t * 12.0) * 0.5;
  }
  return out;
}

std::vector<double> Explosion(Noise& noise, std::size_t n, double pitch, double rate) {
  std::vector<double> out(n);
  double level = 0.0;
  double phase = 0.0;
  const double length = static_cast<double>(n) / rate;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    // The noise darkens as the blast dies away.
    const double cutoff = 200.0 + 3000.0 * std::exp(-t * 8.0);
    level += SmoothingOf(cutoff, rate) * (noise.Next() - level);
    phase += kTwoPi * pitch * (1.0 - 0.5 * t / length) / rate;
    out[i] = (2.0 * level + 0.8 * std::sin(phase)) * std::exp(-t * 4.0 / length);
  }
  return out;
}

std::vector<double> Shot(Noise& noise, std::size_t n, double pitch, double rate) {
  std::vector<double> out(n);
  const double length = static_cast<double>(n) / rate;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    out[i] = noise.Next() * std::exp(-t * 60.0) +
             0.7 * std::sin(kTwoPi * pitch * t) * std::exp(-t * 5.0 / length);
  }
  return out;
}

// A tone gliding from `from` to `to` (Hz), exponentially; `wobble` adds vibrato and noise.
std::vector<double> Glide(Noise& noise, std::size_t n, double from, double to, double rate,
                          double wobble) {
  std::vector<double> out(n);
  double phase = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double f = static_cast<double>(i) / static_cast<double>(n);
    const double t = static_cast<double>(i) / rate;
    const double frequency =
        from * std::pow(to / from, f) * (1.0 + wobble * std::sin(kTwoPi * 30.0 * t));
    phase += kTwoPi * frequency / rate;
    out[i] = std::sin(phase) + 0.3 * std::sin(2.0 * phase) + wobble * noise.Next();
  }
  return out;
}

std::vector<double> Thud(Noise& noise, std::size_t n, double pitch, double rate) {
  std::vector<double> out = LowNoise(noise, n, 400.0, rate);
  double phase = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    phase += kTwoPi * pitch * (1.0 + std::exp(-t * 30.0)) / rate;
    out[i] = (std::sin(phase) + 2.0 * out[i]) * std::exp(-t * 15.0);
  }
  return out;
}

std::vector<double> Scrape(Noise& noise, std::size_t n, double pitch, double rate) {
  const std::vector<double> upper = LowNoise(noise, n, pitch * 1.5, rate);
  const std::vector<double> lower = LowNoise(noise, n, pitch * 0.5, rate);
  const std::vector<double> grit = LowNoise(noise, n, 40.0, rate);
  std::vector<double> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    out[i] = (upper[i] - lower[i]) * (0.5 + 10.0 * std::abs(grit[i]));
  }
  return out;
}

std::vector<double> Clang(std::size_t n, double pitch, double rate) {
  constexpr double kPartials[] = {1.0, 2.76, 5.40, 8.93};
  std::vector<double> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    double value = 0.0;
    for (int k = 0; k < 4; ++k) {
      value +=
          std::sin(kTwoPi * pitch * kPartials[k] * t) * std::exp(-t * (6.0 + 4.0 * k)) / (k + 1);
    }
    out[i] = value;
  }
  return out;
}

// Tones one after another, each faded in and out, the gaps silent.
std::vector<double> Tones(std::size_t n, std::initializer_list<double> pitches, double rate) {
  std::vector<double> out(n);
  const std::size_t each = n / pitches.size();
  const std::size_t edge = static_cast<std::size_t>(rate * 0.005);
  std::size_t start = 0;
  for (const double pitch : pitches) {
    const std::size_t sounding = each * 4 / 5;
    for (std::size_t i = 0; i < sounding; ++i) {
      const double gain = std::min(
          {1.0, static_cast<double>(i) / edge, static_cast<double>(sounding - 1 - i) / edge});
      const double t = static_cast<double>(i) / rate;
      out[start + i] =
          gain * (std::sin(kTwoPi * pitch * t) + 0.2 * std::sin(kTwoPi * 3 * pitch * t));
    }
    start += each;
  }
  return out;
}

std::vector<double> Shape(const sound::SoundListEntry& entry, std::size_t n) {
  Noise noise(SeedOf(entry.name));
  const double pitch = entry.pitch;
  const double rate = entry.sampleRate;
  switch (entry.kind) {
    case SoundKind::kEngineLoop:
      return EngineLoop(n, pitch, rate);
    case SoundKind::kHumLoop:
      return HumLoop(n, pitch, rate);
    case SoundKind::kRoarLoop:
      return RoarLoop(noise, n, pitch, rate);
    case SoundKind::kRainLoop:
      return RainLoop(noise, n, pitch, rate);
    case SoundKind::kChargeLoop:
      return ChargeLoop(n, pitch, rate);
    case SoundKind::kThunder:
      return Thunder(noise, n, pitch, rate);
    case SoundKind::kExplosion:
      return Explosion(noise, n, pitch, rate);
    case SoundKind::kShot:
      return Shot(noise, n, pitch, rate);
    case SoundKind::kLaser:
      return Glide(noise, n, pitch * 2.0, pitch * 0.5, rate, 0.0);
    case SoundKind::kPlasma:
      return Glide(noise, n, pitch * 1.5, pitch * 0.7, rate, 0.15);
    case SoundKind::kThud:
      return Thud(noise, n, pitch, rate);
    case SoundKind::kSqueak:
      return Glide(noise, n, pitch, pitch * 1.5, rate, 0.02);
    case SoundKind::kScrape:
      return Scrape(noise, n, pitch, rate);
    case SoundKind::kClang:
      return Clang(n, pitch, rate);
    case SoundKind::kBeep:
      return Tones(n, {pitch, pitch * 1.5}, rate);
    case SoundKind::kFanfare:
      return Tones(n, {pitch, pitch * 0.84, pitch * 0.67}, rate);
  }
  return std::vector<double>(n);
}

// One-shots start from and end in silence: a short rise, and a fall to 0 at the last sample.
void FadeEdges(std::vector<double>& wave, double rate) {
  const std::size_t rise = std::min(wave.size() / 2, static_cast<std::size_t>(rate * 0.003));
  const std::size_t fall = std::min(wave.size() / 2, static_cast<std::size_t>(rate * 0.02));
  for (std::size_t i = 0; i < rise; ++i) {
    wave[i] *= static_cast<double>(i) / static_cast<double>(rise);
  }
  for (std::size_t i = 0; i < fall; ++i) {
    wave[wave.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fall);
  }
}

}  // namespace

std::vector<std::int16_t> SynthesiseSound(const sound::SoundListEntry& entry) {
  const std::size_t n = static_cast<std::size_t>(entry.sampleRate) * entry.milliseconds / 1000;
  std::vector<double> wave = Shape(entry, n);
  if (!sound::IsLoop(entry.kind)) {
    FadeEdges(wave, entry.sampleRate);
  }
  double peak = 0.0;
  for (const double value : wave) {
    peak = std::max(peak, std::abs(value));
  }
  const double gain = peak > 0.0 ? kSoundPeak / peak : 0.0;
  std::vector<std::int16_t> samples(n);
  for (std::size_t i = 0; i < n; ++i) {
    samples[i] = static_cast<std::int16_t>(std::lround(wave[i] * gain));
  }
  return samples;
}

}  // namespace mkdata
