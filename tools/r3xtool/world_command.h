// r3xtool world: loads a world file through the engine's loading entry and reports it.
#pragma once

#include <string>
#include <vector>

// FILE [PACK]: prints the load's first error as "file:line: text" (the parser's message boxes
// show every error on standard error) and, when the load succeeds, the world's objects by type
// and its region count. 0 on success, 1 when the load fails, 2 for bad arguments.
int RunWorldCommand(const std::vector<std::string>& args);
