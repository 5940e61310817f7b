// Our substitute for Windows Sockets 1.1.
#pragma once

#include "platform/winsock/winsock.h"
