#include "platform/kernel/module.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/kernel/file.h"
#include "platform/system_library/system_library.h"

namespace {

class ModuleObject : public platform::KernelObject {
 public:
  ModuleObject(void* library, std::string path) : library_(library), path_(std::move(path)) {}
  // One of the layer's own system libraries: no file, its functions in its list.
  explicit ModuleObject(const platform::SystemLibrary& system)
      : library_(nullptr),
        path_(platform::SystemLibraryPath(system.name)),
        symbols_(system.symbols.begin(), system.symbols.end()) {}
  ~ModuleObject() override {
    if (library_ != nullptr) {
      ::dlclose(library_);
    }
  }
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;
  // FreeLibrary unloads it.
  bool ClosedByCloseHandle() const override { return false; }
  const std::string& Path() const { return path_; }
  void* Symbol(const char* name) const {
    if (library_ != nullptr) {
      return ::dlsym(library_, name);
    }
    for (const platform::SystemLibrarySymbol& symbol : symbols_) {
      if (std::strcmp(symbol.name, name) == 0) {
        return reinterpret_cast<void*>(symbol.address);
      }
    }
    return nullptr;
  }

 private:
  void* library_;
  std::string path_;
  std::vector<platform::SystemLibrarySymbol> symbols_;
};

std::string ProgramPath() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

// The absolute path of an existing module file, or an empty string.
std::string FindModuleFile(const std::string& name) {
  std::error_code error;
  std::string candidates[2];
  if (name.find('/') != std::string::npos) {
    candidates[0] = name;
  } else {
    const std::filesystem::path program = ProgramPath();
    if (!program.empty()) {
      candidates[0] = (program.parent_path() / name).string();
    }
    candidates[1] = (std::filesystem::current_path(error) / name).string();
  }
  for (const std::string& candidate : candidates) {
    if (candidate.empty()) {
      continue;
    }
    const std::string resolved = platform::ResolveFileName(candidate.c_str());
    if (std::filesystem::is_regular_file(resolved, error)) {
      return std::filesystem::absolute(resolved, error).string();
    }
  }
  return {};
}

// The module behind the handle; null, with ERROR_MOD_NOT_FOUND, for any other handle.
std::shared_ptr<ModuleObject> ModuleOf(HMODULE module) {
  std::shared_ptr<ModuleObject> object = platform::HandleAs<ModuleObject>(module);
  if (object == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
  }
  return object;
}

DWORD CopyTruncated(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0 || text.empty()) {
    return 0;
  }
  const DWORD length = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName) {
  if (fileName == nullptr) {
    return nullptr;
  }
  // Stored names may carry Windows separators.
  std::string name(fileName);
  std::replace(name.begin(), name.end(), '\\', '/');
  const std::string path = FindModuleFile(name);
  platform::SystemLibrary system{};
  if (path.empty() && name.find('/') == std::string::npos &&
      platform::FindSystemLibrary(name.c_str(), system)) {
    return platform::IssueHandle(std::make_shared<ModuleObject>(system));
  }
  if (path.empty()) {
    return nullptr;
  }
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    return nullptr;
  }
  return platform::IssueHandle(std::make_shared<ModuleObject>(library, path));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return reinterpret_cast<FARPROC>(platform::FindModuleSymbol(module, name));
}

BOOL FreeLibrary(HMODULE module) {
  if (!platform::CloseHandleAs<ModuleObject>(module)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (module == nullptr) {
    return CopyTruncated(ProgramPath(), buffer, size);
  }
  const auto object = ModuleOf(module);
  return object != nullptr ? CopyTruncated(object->Path(), buffer, size) : 0;
}

namespace platform {

void* FindModuleSymbol(HMODULE module, const char* name) {
  const auto object = ModuleOf(module);
  if (object == nullptr || name == nullptr) {
    return nullptr;
  }
  return object->Symbol(name);
}

}  // namespace platform
