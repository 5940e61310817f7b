// Light definitions and lights: a definition holds one or more frames of intensity (and
// optionally of RGB colour); a light is an animated instance of it, through which point lights,
// directional lights and region geometry shine.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

struct R3xWorld;
struct R3xLight;

// R3X_TYPE_LIGHT_DEF. The reference count is 1 for the default light plus 1 for every other
// light.
struct R3xLightDef {
  R3xObjectHeader header;
  std::uint32_t frameCount;
  // The intensity of a one-frame definition.
  float intensity;
  // Owned, frameCount values, for more than one frame; null for one.
  float* intensities;
  // Owned RGB triples, frameCount of them, or null.
  float* colours;
  R3xLight* defaultInstance;
};

// R3X_TYPE_LIGHT. The reference count counts the point and directional lights and the region
// geometries that shine with the light, and 1 for a definition's default light.
struct R3xLight {
  R3xObjectHeader header;
  // As the world file gives it, which may be beyond the definition's frames: read it through
  // _r3xLightShownFrame.
  std::uint32_t currentFrame;
  // Milliseconds.
  std::uint32_t delay;
  // World time + delay when the light was made; 0 in a default light.
  std::uint32_t startTime;
  std::int32_t word;
  R3xLightDef* definition;
};

// A definition with frameCount intensities and its default light, or the light definition
// already known under the tag, unchanged. The current frame is kept as given, also beyond the
// frames (stored worlds hold such lights). Null when another kind of object holds the tag, for
// a frame count of 0, or out of memory.
R3xLightDef* r3xCreateLightDef(R3xWorld* world, const char* tag, std::uint32_t frameCount,
                               const float* intensities, std::uint32_t currentFrame,
                               std::uint32_t delay, std::int32_t word);
// Destroys the default light and the definition. R3X_ERR_FAILED, with nothing changed, unless
// both the definition's and its default light's reference counts are 1; 0.
std::int32_t r3xDestroyLightDef(R3xWorld* world, R3xLightDef* definition);
// Copies frameCount values. 0.
std::int32_t r3xSetLightDefIntensities(R3xLightDef* definition, const float* values);
// Copies frameCount RGB triples, or with null frees the colours. 0, or R3X_ERR_FAILED when the
// colour array cannot be allocated (nothing changed).
std::int32_t r3xSetColoredLightIntensities(R3xLightDef* definition, const float* colours);
// 0 for a light definition, R3X_ERR_FAILED for anything else (null included).
std::int32_t r3xIsLightDef(const R3xObjectHeader* object);

// A registered, untagged copy of the default light that starts after its delay, counted in the
// definition; null on failure.
R3xLight* r3xCreateLight(R3xWorld* world, R3xLightDef* definition);
// R3X_ERR_FAILED, with nothing changed, while the light is referenced (a default light always
// is); 0.
std::int32_t r3xDestroyLight(R3xWorld* world, R3xLight* light);
// 0, or R3X_ERR_FAILED unless the frame is below the definition's frame count.
std::int32_t r3xSetLightFrame(R3xLight* light, std::uint32_t frame);

// Renames a light, or any registered object, as r3xSetTag does.
std::int32_t r3xSetObjectTag(R3xWorld* world, R3xObjectHeader* object, const char* tag);
