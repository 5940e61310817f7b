// 3D sprites: small polygon models with one surface per face. Instances share their
// definition's surfaces until one of their faces gets a render method of its own.
// Results: an object, or null; 0 or a negative R3X_ERR_ code; values.
#pragma once

#include <cstdint>

#include "engine/core/math_plane.h"
#include "engine/core/object.h"
#include "engine/core/render_method.h"
#include "engine/core/surface.h"

struct R3xWorld;
struct R3xVolume;
struct R3x3DSprite;

// R3X_TYPE_3D_SPRITE_FACE: one face of a 3D sprite, a node of the sprite's face tree. The
// display walks the tree from the root to draw the faces back to front: a face's second subtree
// lies behind its plane for a viewer in front of it.
struct R3x3DSpriteFace {
  // Type R3X_TYPE_3D_SPRITE_FACE, over the definition's vertices.
  R3xIndexedPolygon polygon;
  // The face's place in the definition's face array (file order), and so its surface's.
  std::uint32_t index;
  // Faces of the same array, or null.
  R3x3DSpriteFace* front;
  R3x3DSpriteFace* back;
};

// R3X_TYPE_3D_SPRITE_DEF. The reference count is 1 for the default instance plus 1 for every
// other instance.
struct R3x3DSpriteDef {
  R3xObjectHeader header;
  std::uint32_t vertexCount;
  // Owned xyz triples.
  float* vertices;
  // Owned xyz per vertex, or null.
  float* normals;
  std::uint32_t faceCount;
  // Owned, with their index arrays; every face's vertices are `vertices`.
  R3x3DSpriteFace* faces;
  // The first face, or null without faces.
  R3x3DSpriteFace* root;
  float radius;
  R3x3DSprite* defaultInstance;
};

// R3X_TYPE_3D_SPRITE. Its reference count counts the actors that use it, and 1 for a default
// instance. Every instance holds one reference on each texture of its surfaces.
struct R3x3DSprite {
  R3xObjectHeader header;
  // Owned.
  R3xVolume* volume;
  // One per face: the default instance's is the definition's table; another instance's is
  // null while it shares that table, else its own copy with its own UV arrays.
  R3xSurface* surfaces;
  // From the actor's position.
  float offset[3];
  std::uint32_t reserved;
  R3x3DSpriteDef* definition;
};

// The definition, or the definition already known under the tag, unchanged (nothing is taken
// then). A new definition copies the vertices, takes over the faces (with their index arrays
// and their front and back links, which point into the same array) and the surfaces (one per
// face, with their UV arrays, each face's vertex count of pairs), numbers the faces in array
// order, roots the face tree at the first face, and references each surface's texture; its
// default instance takes the volume (null: the empty volume). With computeNormals, every vertex
// gets the sum of the normals of the faces that use it, normalised when there are two or more.
// Null when another kind of object holds the tag, a face uses a vertex that does not exist, a
// link points outside the array, the links form a cycle (a face tree that a walk could never
// leave), or out of memory; the caller then keeps everything.
R3x3DSpriteDef* r3xCreate3DSpriteDef(R3xWorld* world, const char* tag, std::uint32_t vertexCount,
                                     const float* vertices, std::uint32_t faceCount,
                                     R3x3DSpriteFace* faces, bool computeNormals,
                                     const float* offset, R3xSurface* surfaces, R3xVolume* volume,
                                     float radius);
// Destroys the default instance's volume, releases (and destroys when unused) the textures and
// frees everything: 0, or R3X_ERR_DEF_IN_USE (nothing changed) while other instances exist or
// the default instance is used.
std::int32_t r3xDestroy3DSpriteDef(R3xWorld* world, R3x3DSpriteDef* definition);

// A registered, untagged, unreferenced copy of the default instance sharing the definition's
// surfaces, or of the given sprite with a copy of its own surfaces when it has them; with a
// copy of the given volume (null: of the source's), a reference on each texture, counted in
// the definition. Null on failure.
R3x3DSprite* r3xCreate3DSprite(R3xWorld* world, R3x3DSpriteDef* definition,
                               const R3xVolume* volume);
R3x3DSprite* r3xCopy3DSprite(R3xWorld* world, const R3x3DSprite* sprite, const R3xVolume* volume);
// 0, or R3X_ERR_DEFAULT_INSTANCE (nothing changed) while anything references the sprite.
std::int32_t r3xDestroy3DSprite(R3xWorld* world, R3x3DSprite* sprite);

R3x3DSpriteDef* r3xGet3DSpriteDef(const R3x3DSprite* sprite);
std::uint32_t r3xGet3DSpriteFaceCount(const R3x3DSpriteDef* definition);
float r3xGet3DSpriteRadius(const R3x3DSpriteDef* definition);

// The render method of a face's surface; 0 for a face that does not exist.
R3xRenderMethod r3xGet3DSpriteFaceRenderMethod(const R3x3DSprite* sprite, std::uint32_t face);
// Gives the sprite its own surfaces first when it shares its definition's. 0, or
// R3X_ERR_FAILED for a face that does not exist, an indirect method that the render context's
// indirect table cannot resolve, or when the copy cannot be made.
std::int32_t r3xSet3DSpriteFaceRenderMethod(const R3xIndirectRenderMethods* indirect,
                                            R3x3DSprite* sprite, std::uint32_t face,
                                            R3xRenderMethod method);
