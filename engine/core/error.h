// The engine's error codes: negative 32-bit results of failing engine operations.
// Results: the constants themselves, returned by the engine's functions.
#pragma once

#include <cstdint>

// Success of the operations that report it as 1 rather than 0: engine start-up and the math
// tables, rotations and planes, region linking, the view matrix and the work arrays.
inline constexpr std::int32_t R3X_DONE = 1;

inline constexpr std::int32_t R3X_ERR_FAILED = -49858;
inline constexpr std::int32_t R3X_ERR_NO_MEMORY = -49855;
inline constexpr std::int32_t R3X_ERR_DEF_IN_USE = -49852;
inline constexpr std::int32_t R3X_ERR_DEFAULT_INSTANCE = -49851;
inline constexpr std::int32_t R3X_ERR_BAD_PART_TYPE = -49832;
inline constexpr std::int32_t R3X_ERR_NOT_BINARY_WORLD = -49830;
inline constexpr std::int32_t R3X_ERR_BAD_WORLD_VERSION = -49829;
inline constexpr std::int32_t R3X_ERR_NO_VIS_DATA = -49828;
inline constexpr std::int32_t R3X_ERR_BITMAP_IN_USE = -49749;
inline constexpr std::int32_t R3X_ERR_BMP_OPEN = -49748;
inline constexpr std::int32_t R3X_ERR_BMP_READ = -49747;
inline constexpr std::int32_t R3X_ERR_BMP_NOT_BM = -49746;
inline constexpr std::int32_t R3X_ERR_BMP_HEADER = -49745;
inline constexpr std::int32_t R3X_ERR_MATH_TREE = -10293;
inline constexpr std::int32_t R3X_ERR_MATH_NO_MEMORY = -10240;
inline constexpr std::int32_t R3X_ERR_REGION_LIST_EMPTY = -10048;
inline constexpr std::int32_t R3X_ERR_SPRITE3D_ORIENT = -9473;
inline constexpr std::int32_t R3X_ERR_SPRITE3D_NO_MEMORY = -9474;
inline constexpr std::int32_t R3X_ERR_SPRITE3D_FACES = -9476;
inline constexpr std::int32_t R3X_ERR_LIST_GROW = -8256;
inline constexpr std::int32_t R3X_ERR_BAD_FOV = -8213;
inline constexpr std::int32_t R3X_ERR_BAD_RENDER_METHOD = -8212;
