#include "engine/world/vis_data_member.h"

#include <cstring>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/vis_data.h"
#include "engine/core/vis_data_internal.h"
#include "engine/core/wad.h"
#include "engine/world/vis_member_name.h"
#include "engine/world/world_reader.h"

std::int32_t _r3xOpenVisData(R3xWorldReader* reader) {
  char name[R3X_VIS_NAME_SIZE];
  if (reader->archive == nullptr || !r3xVisMemberName(reader->fileName, name)) {
    return R3X_ERR_NO_VIS_DATA;
  }
  R3xWadMember* member = r3xOpenWadMember(reader->archive, name);
  if (member == nullptr) {
    return R3X_ERR_NO_VIS_DATA;
  }
  auto* data = static_cast<R3xVisData*>(r3xMalloc(sizeof(R3xVisData)));
  if (data == nullptr) {
    r3xCloseWadMember(member);
    return R3X_ERR_NO_VIS_DATA;
  }
  // A view stays mapped on its own until it is unmapped, also after the archive is closed, so
  // the record needs no handles of its own: it takes the member's view over.
  data->view = member->view;
  data->data =
      member->view == nullptr ? nullptr : member->view + (member->start - member->viewBase);
  member->view = nullptr;
  const std::size_t size = member->end - member->start;
  r3xCloseWadMember(member);
  if (reinterpret_cast<std::uintptr_t>(data->data) % alignof(std::uint16_t) != 0) {
    data->ownedCopy = static_cast<std::uint8_t*>(r3xMalloc(size));
    if (data->ownedCopy == nullptr) {
      _r3xReleaseVisData(data);
      return R3X_ERR_NO_VIS_DATA;
    }
    std::memcpy(data->ownedCopy, data->data, size);
    data->data = data->ownedCopy;
  }
  // The read holds a reference of its own until it ends, so that a region that fails to come
  // into being cannot release the record while later regions still take lists from it.
  data->refCount = 1;
  reader->visData = data;
  reader->visCursor = data->data;
  reader->visLeft = size;
  return 0;
}
