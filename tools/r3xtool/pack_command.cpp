#include "tools/r3xtool/pack_command.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "engine/r3x.h"
#include "tools/mkdata/file_bytes.h"

namespace {

constexpr char kUsage[] =
    "usage: r3xtool pack list FILE\n"
    "       r3xtool pack extract FILE MEMBER OUT\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "r3xtool: %s\n", message.c_str());
  return 1;
}

// Closes the archive, and with it its members, on every way out.
class OpenWad {
 public:
  OpenWad(const std::string& file, int slots) : wad_(r3xOpenWad(file.c_str(), slots)) {}
  ~OpenWad() { r3xCloseWad(wad_); }
  OpenWad(const OpenWad&) = delete;
  OpenWad& operator=(const OpenWad&) = delete;
  R3xWad* get() const { return wad_; }

 private:
  R3xWad* wad_;
};

int ListPack(const std::string& file) {
  if (const std::optional<std::string> error = mkdata::FindReadError(file)) {
    return Fail(*error);
  }
  const OpenWad wad(file, 0);
  if (wad.get() == nullptr) {
    return Fail(file + ": not a pack archive, or its directory is damaged");
  }
  std::printf("%-24s %10s %10s\n", "member", "offset", "size");
  for (std::uint32_t i = 0; i < wad.get()->entryCount; ++i) {
    R3xWadEntry entry;
    if (r3xGetWadEntry(wad.get(), i, &entry) != 0) {
      return Fail(file + ": member \"" + entry.name + "\" lies outside the file");
    }
    std::printf("%-24s %10u %10u\n", entry.name, entry.start, entry.end - entry.start);
  }
  return 0;
}

int ExtractMember(const std::string& file, const std::string& name, const std::string& out) {
  if (const std::optional<std::string> error = mkdata::FindReadError(file)) {
    return Fail(*error);
  }
  const OpenWad wad(file, 1);
  if (wad.get() == nullptr) {
    return Fail(file + ": not a pack archive, or its directory is damaged");
  }
  R3xWadMember* member = r3xOpenWadMember(wad.get(), name.c_str());
  if (member == nullptr) {
    return Fail(file + ": no member \"" + name + "\", or it lies outside the file");
  }
  std::vector<char> bytes(static_cast<std::size_t>(r3xWadMemberSize(member)));
  if (r3xReadWadMember(member, bytes.data(), static_cast<std::int64_t>(bytes.size())) !=
      R3X_WAD_DONE) {
    return Fail(file + ": cannot read member \"" + name + "\"");
  }
  std::FILE* target = std::fopen(out.c_str(), "wb");
  if (target == nullptr) {
    return Fail("cannot create " + out);
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), target) == bytes.size();
  if (std::fclose(target) != 0 || !written) {
    return Fail("cannot write " + out);
  }
  return 0;
}

}  // namespace

int RunPackCommand(const std::vector<std::string>& args) {
  if (args.size() == 2 && args[0] == "list") {
    return ListPack(args[1]);
  }
  if (args.size() == 4 && args[0] == "extract") {
    return ExtractMember(args[1], args[2], args[3]);
  }
  std::fputs(kUsage, stderr);
  return 2;
}
