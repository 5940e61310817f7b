#include "host/process_record.h"

#include "host/keyboard_device.h"

namespace {

struct ProcessRecord {
  HostRecord record;
  ProcessRecord() = default;
  ProcessRecord(const ProcessRecord&) = delete;
  ProcessRecord& operator=(const ProcessRecord&) = delete;
  // After a normal quit the keyboard is closed already and this does nothing.
  ~ProcessRecord() { CloseKeyboardDevice(record.keyboard); }
};

ProcessRecord gProcessRecord;

}  // namespace

HostRecord* gHostRecord = nullptr;

HostRecord& ProcessHostRecord() { return gProcessRecord.record; }
