// mkdata: writes the project's data files.
//   mkdata pack [--layout 1|2] OUT FILE...   a pack archive of the files, named by base name
//   mkdata bmp [--core] [--colours N] [--levels L] OUT WIDTH HEIGHT
//       an 8-bit test-pattern BMP of N colours (256), and its levels 1 .. L-1 at half size each,
//       named OUT with "_1", "_2" ... before the extension
//   mkdata wld-binary IN OUT                  the binary world file of the text world file IN
//   mkdata wld-precompiled [--pack PACK] [--vis] NAME OUT
//       the precompiled world file of the world file NAME (a member of PACK, else a file); with
//       --vis its visible lists go to the ".VIS" file beside OUT
//   mkdata fuzz-seeds WORLD OUT_DIR [PRECOMPILED...]
//       seed inputs for the fuzz targets from a text world and precompiled world files (each
//       with its ".VIS" file beside it when its header says so)
//   mkdata sound-library OUT                   the source of "sound.dll" with its WAV resources
//   mkdata amp-demo OUT                        the demo arena's height map
//   mkdata palettes-demo NORMAL INFRARED       the demo arena's normal and infra-red palettes
//   mkdata sky-demo DIR                        the seven sky bitmaps of "Equip.r3x" into DIR
//   mkdata loading-demo OUT                    the loading picture "load.bmp"
//   mkdata equip-demo DIR                      "equip.wld" with the models and their pictures
//   mkdata cockpit-demo DIR                    the cockpit's pictures of "game.r3x" into DIR
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel/message_box.h"
#include "tools/mkdata/arena_map_writer.h"
#include "tools/mkdata/bmp_command.h"
#include "tools/mkdata/demo_arena_map.h"
#include "tools/mkdata/demo_cockpit.h"
#include "tools/mkdata/demo_design.h"
#include "tools/mkdata/demo_equipment.h"
#include "tools/mkdata/demo_palette.h"
#include "tools/mkdata/equipment_models.h"
#include "tools/mkdata/file_bytes.h"
#include "tools/mkdata/fuzz_seeds.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sound_library.h"
#include "tools/mkdata/world_binary_writer.h"
#include "tools/mkdata/world_precompiled_writer.h"

namespace {

int PrintUsage() {
  std::fputs("usage: mkdata pack [--layout 1|2] OUT FILE...\n", stderr);
  std::fputs("       mkdata bmp [--core] [--colours N] [--levels L] OUT WIDTH HEIGHT\n", stderr);
  std::fputs("       mkdata wld-binary IN OUT\n", stderr);
  std::fputs("       mkdata wld-precompiled [--pack PACK] [--vis] NAME OUT\n", stderr);
  std::fputs("       mkdata fuzz-seeds WORLD OUT_DIR [PRECOMPILED...]\n", stderr);
  std::fputs("       mkdata sound-library OUT\n", stderr);
  std::fputs("       mkdata amp-demo OUT\n", stderr);
  std::fputs("       mkdata palettes-demo NORMAL INFRARED\n", stderr);
  std::fputs("       mkdata sky-demo DIR\n", stderr);
  std::fputs("       mkdata design-demo DIR\n", stderr);
  std::fputs("       mkdata loading-demo OUT\n", stderr);
  std::fputs("       mkdata equip-demo DIR\n", stderr);
  std::fputs("       mkdata cockpit-demo DIR\n", stderr);
  return 2;
}

// A refused argument, named in one line; exit status 2 like every usage error.
int Refuse(const std::string& command, const std::string& why) {
  std::fprintf(stderr, "mkdata %s: %s\n", command.c_str(), why.c_str());
  return 2;
}

// Exit status 1 after the first input that cannot be read, before anything is written.
int CheckInputs(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (const std::optional<std::string> error = mkdata::FindReadError(path)) {
      std::fprintf(stderr, "mkdata: %s\n", error->c_str());
      return 1;
    }
  }
  return 0;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

// Members are found by name in any case, so two files whose names differ only in case clash too.
int CheckMemberNames(const std::vector<std::string>& files) {
  std::map<std::string, std::string> seen;
  for (const std::string& file : files) {
    const std::string name = std::filesystem::path(file).filename().string();
    const auto [first, added] = seen.emplace(Lower(name), file);
    if (!added) {
      std::fprintf(stderr, "mkdata pack: %s and %s would both be the member \"%s\"\n",
                   first->second.c_str(), file.c_str(), name.c_str());
      return 1;
    }
  }
  return 0;
}

int RunPack(const std::vector<std::string>& args) {
  std::size_t next = 0;
  mkdata::PackLayout layout = mkdata::PackLayout::kHeader;
  if (next < args.size() && args[next] == "--layout") {
    if (next + 1 >= args.size() || (args[next + 1] != "1" && args[next + 1] != "2")) {
      return Refuse("pack", "--layout takes 1 or 2");
    }
    layout = args[next + 1] == "1" ? mkdata::PackLayout::kHeader : mkdata::PackLayout::kPlain;
    next += 2;
  }
  if (next >= args.size()) {
    return PrintUsage();
  }
  const std::string out = args[next++];
  const std::vector<std::string> files(args.begin() + static_cast<std::ptrdiff_t>(next),
                                       args.end());
  if (const int status = CheckMemberNames(files); status != 0) {
    return status;
  }
  if (const int status = CheckInputs(files); status != 0) {
    return status;
  }
  std::vector<mkdata::PackMember> members;
  for (; next < args.size(); ++next) {
    members.push_back(
        {std::filesystem::path(args[next]).filename().string(), mkdata::ReadFileBytes(args[next])});
  }
  mkdata::WriteFileBytes(out, mkdata::BuildPack(std::move(members), layout));
  return 0;
}

int RunPrecompiled(const std::vector<std::string>& args) {
  std::string pack;
  bool vis = false;
  std::size_t next = 0;
  for (; next < args.size() && args[next].rfind("--", 0) == 0; ++next) {
    if (args[next] == "--vis") {
      vis = true;
    } else if (args[next] == "--pack" && next + 1 < args.size()) {
      pack = args[++next];
    } else {
      return PrintUsage();
    }
  }
  if (args.size() - next != 2) {
    return PrintUsage();
  }
  if (const int status = CheckInputs({pack.empty() ? args[next] : pack}); status != 0) {
    return status;
  }
  // The loader's message boxes would repeat the error that the failure names once.
  platform::SetMessageBoxEcho(false);
  const std::filesystem::path out = args[next + 1];
  // Refused before anything is written: a name the reader finds no ".VIS" member for.
  const std::filesystem::path member =
      vis ? out.parent_path() / mkdata::VisibilityMemberName(out.filename().string())
          : std::filesystem::path();
  const mkdata::PrecompiledWorld encoded = mkdata::EncodePrecompiledWorld(args[next], pack, vis);
  mkdata::WriteFileBytes(out.string(), encoded.world);
  if (vis) {
    mkdata::WriteFileBytes(member.string(), encoded.visibility);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    return PrintUsage();
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "pack") {
      return RunPack(args);
    }
    if (command == "bmp") {
      return mkdata::RunBmpCommand(args);
    }
    if (command == "wld-precompiled") {
      return RunPrecompiled(args);
    }
    if (command == "fuzz-seeds") {
      if (args.size() < 2) {
        return PrintUsage();
      }
      mkdata::WriteFuzzSeeds(args[0], args[1], {args.begin() + 2, args.end()});
      return 0;
    }
    if (command == "sound-library") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      const std::string source = mkdata::BuildSoundLibrarySource();
      mkdata::WriteFileBytes(args[0], std::vector<std::uint8_t>(source.begin(), source.end()));
      return 0;
    }
    if (command == "amp-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      mkdata::WriteFileBytes(args[0], mkdata::EncodeArenaMap(mkdata::BuildDemoArenaMap()));
      return 0;
    }
    if (command == "palettes-demo") {
      if (args.size() != 2) {
        return PrintUsage();
      }
      mkdata::WriteFileBytes(args[0], mkdata::BuildBmp(mkdata::MakeDemoPaletteImage()));
      mkdata::WriteFileBytes(args[1], mkdata::BuildBmp(mkdata::MakeInfraRedPaletteImage()));
      return 0;
    }
    if (command == "sky-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      for (const auto& [name, image] : mkdata::MakeSkyImages()) {
        mkdata::WriteFileBytes((std::filesystem::path(args[0]) / name).string(),
                               mkdata::BuildBmp(image));
      }
      return 0;
    }
    if (command == "cockpit-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      for (const auto& [name, image] : mkdata::MakeCockpitImages()) {
        mkdata::WriteFileBytes((std::filesystem::path(args[0]) / name).string(),
                               mkdata::BuildBmp(image));
      }
      return 0;
    }
    if (command == "design-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      for (const auto& [name, image] : mkdata::MakeDesignImages()) {
        mkdata::WriteFileBytes((std::filesystem::path(args[0]) / name).string(),
                               mkdata::BuildBmp(image));
      }
      return 0;
    }
    if (command == "equip-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      const std::string text =
          "// The equipment's shared world file, read into every arena's world after the arena's "
          "own file:\n// the arena objects' models.\nBEGINFILE 1\n" +
          mkdata::MakeEquipmentModels();
      const std::filesystem::path folder(args[0]);
      mkdata::WriteFileBytes((folder / "equip.wld").string(),
                             std::vector<std::uint8_t>(text.begin(), text.end()));
      for (const auto& [name, image] : mkdata::MakeSpriteImages()) {
        mkdata::WriteFileBytes((folder / name).string(), mkdata::BuildBmp(image));
      }
      return 0;
    }
    if (command == "loading-demo") {
      if (args.size() != 1) {
        return PrintUsage();
      }
      mkdata::WriteFileBytes(args[0], mkdata::BuildBmp(mkdata::MakeLoadingImage()));
      return 0;
    }
    if (command == "wld-binary") {
      if (args.size() != 2) {
        return PrintUsage();
      }
      if (const int status = CheckInputs({args[0]}); status != 0) {
        return status;
      }
      mkdata::WriteFileBytes(args[1], mkdata::EncodeBinaryWorld(args[0]));
      return 0;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "mkdata: %s\n", error.what());
    return 1;
  }
  return PrintUsage();
}
