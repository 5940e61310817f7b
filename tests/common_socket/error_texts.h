// The network client's error texts for the errors the tests provoke, from the socket layer's own
// message texts (kept apart: the socket layer's header and the system's socket headers clash).
#pragma once

#include <string>

std::string ConnectionResetText(const char* what);
std::string NotASocketText(const char* what);
