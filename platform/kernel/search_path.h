// Finding a file along a list of folders.
#pragma once

#include "platform/kernel/types.h"

// Looks for `fileName` (with `extension` appended when given and the name has none) in each
// folder of `path`, whose folders are separated by ':' or ';', in order. Letter case of the
// file's last component does not matter. On success the file's absolute name goes into the
// buffer, `*filePart` (when not null) points at its last component there, and the length
// without the NUL is returned; when the buffer is too small it is left as it is and the size
// needed (with the NUL) is returned. 0 when the file is not found or `path` is null.
DWORD SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength, LPSTR buffer,
                  LPSTR* filePart);
