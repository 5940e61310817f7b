// A rectangle in pixels: left and top inside, right and bottom just outside.
#pragma once

#include "platform/kernel/types.h"

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
