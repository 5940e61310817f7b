// r3xtool: looks into the game's data files through the engine's own readers.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/r3xtool/amp_command.h"
#include "tools/r3xtool/bmp_command.h"
#include "tools/r3xtool/pack_command.h"
#include "tools/r3xtool/world_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 1 ? 2 : argc), argv + argc);
  if (argc > 1 && std::string(argv[1]) == "pack") {
    return RunPackCommand(args);
  }
  if (argc > 1 && std::string(argv[1]) == "bmp") {
    return RunBmpCommand(args);
  }
  if (argc > 1 && std::string(argv[1]) == "amp") {
    return RunAmpCommand(args);
  }
  if (argc > 1 && std::string(argv[1]) == "world") {
    return RunWorldCommand(args);
  }
  std::fputs(
      "usage: r3xtool pack list FILE | pack extract FILE MEMBER OUT | bmp FILE [PACK] | "
      "world FILE [PACK] | amp FILE\n",
      stderr);
  return 2;
}
