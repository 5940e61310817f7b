// Resources of a resource module. Such a module exports one table under the C name
// "platform_resource_table": an array of ResourceEntry ended by an entry whose name is null.
// FindResourceA compares names and types ignoring letter case.
#pragma once

#include "platform/kernel/module.h"
#include "platform/kernel/types.h"

namespace platform {

struct ResourceEntry {
  const char* name;
  const char* type;
  const unsigned char* bytes;
  unsigned size;
};

inline constexpr const char* kResourceTableSymbol = "platform_resource_table";

}  // namespace platform

// What a resource module defines (with its entries and the null-named end):
//   extern "C" const platform::ResourceEntry platform_resource_table[] = {..., {}};
extern "C" const platform::ResourceEntry platform_resource_table[];

using HRSRC = HANDLE;
using HGLOBAL = HANDLE;

// The resource of that name and type in the module, or null.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The resource's bytes, valid while the module stays loaded; null when the resource is not one
// of the module's.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
// The resource's size in bytes, 0 when it is not one of the module's.
DWORD SizeofResource(HMODULE module, HRSRC resource);
