// r3xtool's "pack" subcommands: list an archive's members, extract one member.
#pragma once

#include <string>
#include <vector>

// The process exit code: 0 done, 1 damaged or missing data, 2 bad usage.
int RunPackCommand(const std::vector<std::string>& args);
