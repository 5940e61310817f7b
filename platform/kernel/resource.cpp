#include "platform/kernel/resource.h"

#include <strings.h>

namespace {

const platform::ResourceEntry* TableOf(HMODULE module) {
  return static_cast<const platform::ResourceEntry*>(
      platform::FindModuleSymbol(module, platform::kResourceTableSymbol));
}

// The resource as an entry of the module's table, or null when it is none of them.
const platform::ResourceEntry* EntryOf(HMODULE module, HRSRC resource) {
  const platform::ResourceEntry* entry = TableOf(module);
  for (; entry != nullptr && entry->name != nullptr; ++entry) {
    if (entry == resource) {
      return entry;
    }
  }
  return nullptr;
}

}  // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (name == nullptr || type == nullptr) {
    return nullptr;
  }
  const platform::ResourceEntry* entry = TableOf(module);
  for (; entry != nullptr && entry->name != nullptr; ++entry) {
    if (entry->type != nullptr && ::strcasecmp(entry->name, name) == 0 &&
        ::strcasecmp(entry->type, type) == 0) {
      return const_cast<platform::ResourceEntry*>(entry);
    }
  }
  return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  const platform::ResourceEntry* entry = EntryOf(module, resource);
  return entry != nullptr ? const_cast<unsigned char*>(entry->bytes) : nullptr;
}

LPVOID LockResource(HGLOBAL loaded) { return loaded; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  const platform::ResourceEntry* entry = EntryOf(module, resource);
  return entry != nullptr ? entry->size : 0;
}
