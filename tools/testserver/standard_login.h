#pragma once

#include <vector>

#include "tools/testserver/script.h"

namespace testserver {

// The server's usual answer to a client, played before a script unless the script switches it
// off ("login off"):
//   at 0 tcp 0x10001 MSG_UDP_PORT udp_port
//   at 0 tcp KIND_SESSION MSG_CONNECTED
//   at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params
//   at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global
std::vector<ScriptStep> MakeStandardLoginSteps();

}  // namespace testserver
