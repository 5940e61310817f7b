// Free and total space of a drive, read from the file system that holds a folder.
#pragma once

#include "platform/kernel/types.h"

// The root is any folder of the file system asked about; null asks about the working folder.
// Space comes in clusters of 8 sectors of 512 bytes; cluster counts beyond 32 bits are cut to
// 0xFFFFFFFF. FALSE, with ERROR_PATH_NOT_FOUND, when the folder cannot be looked at.
BOOL GetDiskFreeSpaceA(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters);
