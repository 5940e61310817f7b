// The one host record of the process and the pointer through which everything in the host
// reaches it.
#pragma once

#include "host/interface/host_record.h"

// Null until the host's start-up points it at ProcessHostRecord() (tests point it at their own).
extern HostRecord* gHostRecord;

// Lives until the process ends; its destruction closes the keyboard once more.
HostRecord& ProcessHostRecord();
