#include "platform/dialog/dialog_resources.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/kernel/handle.h"

namespace platform {
namespace {

struct ResourceTable {
  std::mutex mutex;
  std::map<int, const DialogTemplate*> dialogs;
  std::map<int, std::shared_ptr<const IconImage>> icons;
};

ResourceTable& Resources() {
  static ResourceTable table;
  return table;
}

class IconObject : public KernelObject {
 public:
  IconObject(int id, std::shared_ptr<const IconImage> image) : id_(id), image_(std::move(image)) {}
  // DestroyIcon ends it.
  bool ClosedByCloseHandle() const override { return false; }
  int Id() const { return id_; }
  const IconImage& Image() const { return *image_; }

 private:
  int id_;
  std::shared_ptr<const IconImage> image_;
};

// The number of a MAKEINTRESOURCEA name; -1 for a text name.
int ResourceNumber(LPCSTR name) {
  const auto value = reinterpret_cast<std::uintptr_t>(name);
  return value <= 0xFFFF ? static_cast<int>(value) : -1;
}

}  // namespace

void RegisterDialogTemplate(int id, const DialogTemplate& dialog) {
  ResourceTable& table = Resources();
  std::lock_guard lock(table.mutex);
  table.dialogs[id] = &dialog;
}

const DialogTemplate* FindDialogTemplate(LPCSTR name) {
  ResourceTable& table = Resources();
  std::lock_guard lock(table.mutex);
  const auto found = table.dialogs.find(ResourceNumber(name));
  return found != table.dialogs.end() ? found->second : nullptr;
}

void RegisterIconImage(int id, IconImage image) {
  ResourceTable& table = Resources();
  std::lock_guard lock(table.mutex);
  table.icons[id] = std::make_shared<const IconImage>(std::move(image));
}

bool DescribeIcon(HICON icon, int& id, IconImage* image) {
  const auto object = std::dynamic_pointer_cast<IconObject>(FindHandleObject(icon));
  if (object == nullptr) {
    return false;
  }
  id = object->Id();
  if (image != nullptr) {
    *image = object->Image();
  }
  return true;
}

void ClearDialogResources() {
  ResourceTable& table = Resources();
  std::lock_guard lock(table.mutex);
  table.dialogs.clear();
  table.icons.clear();
}

}  // namespace platform

HICON LoadRegisteredIcon(LPCSTR name) {
  const int id = platform::ResourceNumber(name);
  std::shared_ptr<const platform::IconImage> image;
  {
    platform::ResourceTable& table = platform::Resources();
    std::lock_guard lock(table.mutex);
    const auto found = table.icons.find(id);
    if (found == table.icons.end()) {
      return nullptr;
    }
    image = found->second;
  }
  return platform::IssueHandle(std::make_shared<platform::IconObject>(id, std::move(image)));
}

BOOL DestroyIcon(HICON icon) {
  return platform::CloseHandleAs<platform::IconObject>(icon) ? TRUE : FALSE;
}
