// Modules loaded at run time: ELF shared objects under their Windows file names.
#pragma once

#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

// A module handle is a kernel object; an instance handle is the same thing.
using HMODULE = HANDLE;
using HINSTANCE = HMODULE;
// Cast to the function's own type; this one converts to any function pointer without warnings.
using FARPROC = void (*)();

// A bare file name is looked for in the running program's folder first, then in the working
// folder, then among the layer's own system libraries (platform/system_library); a name with a
// folder is taken as it is. Letter case is matched as for files. Null on failure.
HMODULE LoadLibraryA(LPCSTR fileName);
// The calls below fail (null, FALSE, 0) with ERROR_MOD_NOT_FOUND for a handle that names no
// loaded module.
// The exported function of that name, or null.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// Unloads the module (its static destructors run once no other load holds it).
BOOL FreeLibrary(HMODULE module);
// The module's full path (the running program's for a null module), cut to size - 1 characters
// and always terminated. The number of characters written, 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

namespace platform {

// The address of an exported symbol of a loaded module, function or data; null when absent.
void* FindModuleSymbol(HMODULE module, const char* name);

}  // namespace platform
