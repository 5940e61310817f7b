#include "engine/core/vis_data.h"

#include "engine/core/memory.h"
#include "engine/core/vis_data_internal.h"
#include "platform/kernel/file_mapping.h"
#include "platform/kernel/handle.h"

void _r3xReleaseVisData(R3xVisData* data) {
  if (data == nullptr) {
    return;
  }
  if (data->refCount > 0) {
    --data->refCount;
  }
  if (data->refCount > 0) {
    return;
  }
  r3xFree(data->ownedCopy);
  if (data->view != nullptr) {
    UnmapViewOfFile(data->view);
  }
  if (data->mapping != nullptr) {
    CloseHandle(data->mapping);
  }
  if (data->file != nullptr) {
    CloseHandle(data->file);
  }
  r3xFree(data);
}
