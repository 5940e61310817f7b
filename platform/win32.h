// Our substitute for the Windows kernel services that the game and its programs call.
#pragma once

#include "platform/kernel/clock.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/environment.h"
#include "platform/kernel/file.h"
#include "platform/kernel/file_mapping.h"
#include "platform/kernel/find_file.h"
#include "platform/kernel/handle.h"
#include "platform/kernel/message_box.h"
#include "platform/kernel/module.h"
#include "platform/kernel/processor.h"
#include "platform/kernel/registry.h"
#include "platform/kernel/resource.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/sysinfo.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/types.h"
