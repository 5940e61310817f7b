// Interface and device identifiers, and the outer object of aggregation (never supported: the
// creators fail when given one).
#pragma once

#include "platform/kernel/types.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];

  friend constexpr bool operator==(const GUID&, const GUID&) = default;
};

using REFGUID = const GUID&;

class IUnknown;
using LPUNKNOWN = IUnknown*;
