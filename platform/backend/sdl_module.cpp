#include "platform/backend/sdl_module.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {
namespace {

constexpr const char* kModuleName = "platform_sdl.so";

struct LoadedModule {
  const SdlModuleExports* exports = nullptr;
  std::string whyNot;
};

// The module's path: the folder this library was loaded from, where the build puts both.
std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&LoadSdlModule), &info) == 0 ||
      info.dli_fname == nullptr) {
    return kModuleName;
  }
  const std::string self = info.dli_fname;
  const std::size_t slash = self.rfind('/');
  return slash == std::string::npos ? kModuleName : self.substr(0, slash + 1) + kModuleName;
}

LoadedModule Load() {
#ifdef ARENA_HAVE_SDL2
  const std::string path = ModulePath();
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    return {nullptr, std::string("cannot load the SDL2 module: ") + dlerror()};
  }
  using Entry = const SdlModuleExports* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, "ArenaSdlModuleExports"));
  if (entry == nullptr) {
    return {nullptr, path + " is not the SDL2 module"};
  }
  return {entry(), ""};
#else
  return {nullptr, "this build has no SDL2 window (SDL2 was not found when it was configured)"};
#endif
}

}  // namespace

const SdlModuleExports* LoadSdlModule(std::string& whyNot) {
  static std::once_flag once;
  static LoadedModule loaded;
  std::call_once(once, [] { loaded = Load(); });
  whyNot = loaded.whyNot;
  return loaded.exports;
}

}  // namespace platform
