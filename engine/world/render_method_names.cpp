#include "engine/world/render_method_names.h"

#include <cstring>

namespace {

struct Word {
  const char* text;
  R3xRenderMethod value;
};

constexpr R3xRenderMethod kTexture = 256;
constexpr R3xRenderMethod kTransparentTexture = 128;

enum class Family { kWireframe, kSolid, kTexture, kTransparentTexture };

struct FamilyWord {
  const char* text;
  Family family;
  R3xRenderMethod value;
};

// There is no TRANSTEXTURE3.
constexpr FamilyWord kFamilies[] = {
    {"WIREFRAME", Family::kWireframe, R3X_RENDER_FILL_OUTLINE},
    {"SOLIDFILL", Family::kSolid, R3X_RENDER_FILL_SOLID},
    {"TEXTURE1", Family::kTexture, R3X_RENDER_FILL_SOLID + 1 * kTexture},
    {"TEXTURE2", Family::kTexture, R3X_RENDER_FILL_SOLID + 2 * kTexture},
    {"TEXTURE3", Family::kTexture, R3X_RENDER_FILL_SOLID + 3 * kTexture},
    {"TEXTURE4", Family::kTexture, R3X_RENDER_FILL_SOLID + 4 * kTexture},
    {"TEXTURE5", Family::kTexture, R3X_RENDER_FILL_SOLID + 5 * kTexture},
    {"TRANSTEXTURE1", Family::kTransparentTexture,
     R3X_RENDER_FILL_SOLID + 1 * kTexture + kTransparentTexture},
    {"TRANSTEXTURE2", Family::kTransparentTexture,
     R3X_RENDER_FILL_SOLID + 2 * kTexture + kTransparentTexture},
    {"TRANSTEXTURE4", Family::kTransparentTexture,
     R3X_RENDER_FILL_SOLID + 4 * kTexture + kTransparentTexture},
    {"TRANSTEXTURE5", Family::kTransparentTexture,
     R3X_RENDER_FILL_SOLID + 5 * kTexture + kTransparentTexture},
};

constexpr const char* kZeroIntensity = "ZEROINTENSITY";
constexpr Word kLightings[] = {
    {kZeroIntensity, R3X_LIGHTING_ZERO},
    {"CONSTANT", R3X_LIGHTING_CONSTANT},
    {"AMBIENT", R3X_LIGHTING_AMBIENT},
    {"SCALEDAMBIENT", R3X_LIGHTING_SCALED_AMBIENT},
};

constexpr Word kShadings[] = {
    {"GOURAUD1", 64},
    {"GOURAUD2", 96},
};

constexpr Word kTransparent = {"TRANSPARENT", 0};

// The word's length when the text starts with it, else 0.
std::size_t startsWith(const std::uint8_t* text, std::size_t count, const char* word) {
  const std::size_t length = std::strlen(word);
  return length <= count && std::memcmp(text, word, length) == 0 ? length : 0;
}

// The one word of the list that the text starts with (no word is a prefix of another).
template <typename T, std::size_t N>
const T* matchOne(const std::uint8_t* text, std::size_t count, const T (&words)[N],
                  std::size_t* length) {
  for (const T& word : words) {
    if ((*length = startsWith(text, count, word.text)) != 0) {
      return &word;
    }
  }
  return nullptr;
}

}  // namespace

std::size_t parMatchRenderMethodName(const std::uint8_t* text, std::size_t count,
                                     R3xRenderMethod* value) {
  if (const std::size_t length = startsWith(text, count, kTransparent.text); length != 0) {
    *value = kTransparent.value;
    return length;
  }
  std::size_t familyLength = 0;
  const FamilyWord* family = matchOne(text, count, kFamilies, &familyLength);
  if (family == nullptr) {
    return 0;
  }
  std::size_t at = familyLength;
  std::size_t lightingLength = 0;
  const Word* lighting = matchOne(text + at, count - at, kLightings, &lightingLength);
  at += lightingLength;
  if (lighting != nullptr && std::strcmp(lighting->text, kZeroIntensity) == 0) {
    // Untextured, like SOLIDFILLZEROINTENSITY; the transparent textures keep their bits.
    *value =
        family->family == Family::kTexture ? R3xRenderMethod{R3X_RENDER_FILL_SOLID} : family->value;
    return at;
  }
  const Word* shading = nullptr;
  std::size_t shadingLength = 0;
  if (family->family != Family::kWireframe) {
    shading = matchOne(text + at, count - at, kShadings, &shadingLength);
    at += shadingLength;
  }
  R3xRenderMethod lightingValue = R3X_LIGHTING_FULL;
  if (lighting != nullptr) {
    lightingValue = lighting->value;
  } else if (shading != nullptr) {
    lightingValue = R3X_LIGHTING_ZERO;
  }
  *value = family->value + lightingValue + (shading != nullptr ? shading->value : 0);
  return at;
}
