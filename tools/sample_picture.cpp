#include "tools/sample_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mirufo {
namespace {

// Integer hash noise: a value in [0, 1) for a lattice point.
float Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                    static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
}

float Smooth(float t) {
  return t * t * (3 - 2 * t);
}

// Value noise, smoothly interpolated between lattice points.
float Noise(float x, float y, std::uint32_t seed) {
  auto x0 = static_cast<std::int32_t>(std::floor(x));
  auto y0 = static_cast<std::int32_t>(std::floor(y));
  float fx = Smooth(x - static_cast<float>(x0)), fy = Smooth(y - static_cast<float>(y0));
  float a = Hash(x0, y0, seed), b = Hash(x0 + 1, y0, seed);
  float c = Hash(x0, y0 + 1, seed), d = Hash(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Fractal noise: octaves of value noise, about 0..1.
float Fractal(float x, float y, int octaves, std::uint32_t seed) {
  float sum = 0, amplitude = 0.5f, frequency = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise(x * frequency, y * frequency, seed + static_cast<std::uint32_t>(i));
    amplitude *= 0.5f;
    frequency *= 2;
  }
  return sum;
}

struct TRgb {
  float R, G, B;
};

TRgb Mix(TRgb a, TRgb b, float t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

std::uint8_t ToByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}

} // namespace

TBitmap MakeSamplePicture(int width, int height, std::uint32_t seed) {
  TBitmap picture(width, height, pf24bit);
  if (picture.Empty())
    return picture;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float unit = std::min(w, h);
  const float sunX = w * 0.72f, sunY = h * 0.22f, sunR = unit * 0.07f;

  // Hill ridges per column, three layers from far to near.
  std::vector<float> ridge[3];
  for (int layer = 0; layer < 3; ++layer) {
    ridge[layer].resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
      float u = static_cast<float>(x) / unit;
      float base = 0.45f + 0.12f * static_cast<float>(layer);
      ridge[layer][static_cast<std::size_t>(x)] =
          h * (base + 0.10f * (Fractal(u * (2 + static_cast<float>(layer)), 0.5f, 5,
                                       seed + 10 * static_cast<std::uint32_t>(layer)) -
                               0.5f));
    }
  }
  // Houses on the middle hill: left edge, width, height, roof colour.
  struct THouse {
    float Left, Width, Height;
    TRgb Wall, Roof;
  };
  std::vector<THouse> houses;
  for (float x = w * 0.08f; x < w * 0.92f;) {
    float hw = unit * (0.05f + 0.04f * Hash(static_cast<int>(x), 1, seed));
    houses.push_back({x, hw, unit * (0.04f + 0.05f * Hash(static_cast<int>(x), 2, seed)),
                      Mix({235, 225, 205}, {190, 170, 150}, Hash(static_cast<int>(x), 3, seed)),
                      Mix({160, 40, 30}, {60, 70, 110}, Hash(static_cast<int>(x), 4, seed))});
    x += hw + unit * (0.02f + 0.08f * Hash(static_cast<int>(x), 5, seed));
  }

  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    const float fy = static_cast<float>(y);
    for (int x = 0; x < width; ++x) {
      const float fx = static_cast<float>(x);
      // Sky: a vertical gradient with soft clouds and a sun halo.
      TRgb c = Mix({70, 120, 200}, {200, 225, 245}, fy / h);
      float cloud = Fractal(fx / unit * 3, fy / unit * 6, 6, seed + 100);
      c = Mix(c, {250, 250, 252}, std::clamp((cloud - 0.5f) * 3, 0.0f, 0.8f));
      float sd = std::hypot(fx - sunX, fy - sunY);
      if (sd < sunR)
        c = {255, 244, 200};
      else
        c = Mix(c, {255, 230, 170}, 0.6f * std::exp(-(sd - sunR) / (sunR * 1.5f)));

      const std::size_t ix = static_cast<std::size_t>(x);
      // Far hills, hazy.
      if (fy > ridge[0][ix]) {
        float t = Fractal(fx / unit * 8, fy / unit * 8, 4, seed + 200);
        c = Mix({120, 140, 160}, {90, 120, 120}, t);
      }
      // Middle hill with houses standing on it.
      if (fy > ridge[1][ix]) {
        float t = Fractal(fx / unit * 16, fy / unit * 16, 5, seed + 300);
        c = Mix({70, 120, 50}, {110, 150, 60}, t);
      }
      for (const THouse& house : houses) {
        if (fx < house.Left || fx >= house.Left + house.Width)
          continue;
        float ground = ridge[1][static_cast<std::size_t>(std::min<float>(house.Left, w - 1))];
        float top = ground - house.Height;
        float roof =
            top - house.Width * 0.35f * (1 - std::fabs((fx - house.Left) / house.Width * 2 - 1));
        if (fy >= top && fy < ground + unit * 0.01f) {
          c = house.Wall;
          float wx = std::fmod(fx - house.Left, unit * 0.025f),
                wy = std::fmod(fy - top, unit * 0.03f);
          if (wx > unit * 0.008f && wx < unit * 0.018f && wy > unit * 0.01f && wy < unit * 0.022f)
            c = {60, 80, 110};
        } else if (fy >= roof && fy < top) {
          c = house.Roof;
        }
      }
      // Near meadow with fine grass detail.
      if (fy > ridge[2][ix]) {
        float blades = Noise(fx * 0.9f, fy * 0.15f, seed + 400);
        float t = Fractal(fx / unit * 30, fy / unit * 30, 3, seed + 500);
        c = Mix({40, 90, 20}, {150, 190, 70}, 0.6f * blades + 0.4f * t);
        float depth = (fy - ridge[2][ix]) / h;
        c = Mix(c, {30, 60, 15}, std::clamp(depth * 1.5f, 0.0f, 0.6f));
      }
      row[x * 3 + 0] = ToByte(c.B);
      row[x * 3 + 1] = ToByte(c.G);
      row[x * 3 + 2] = ToByte(c.R);
    }
  }
  return picture;
}

} // namespace mirufo
