#include "battle/main/host_link.h"

HostLink gHostLink;
