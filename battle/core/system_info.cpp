#include "battle/core/system_info.h"

#include "base/byte_writer.h"
#include "platform/kernel/processor.h"
#include "platform/kernel/sysinfo.h"

SystemInfoBytes SystemInfoBuffer;

void ResetSystemInfo() { SystemInfoBuffer.length = 0; }

void AppendSystemInfoWord(std::uint32_t word) {
  SystemInfoBytes& buffer = SystemInfoBuffer;
  if (buffer.length + 4 > kSystemInfoCapacity) {
    return;
  }
  arena::ByteWriter bytes;
  bytes.U32(word);
  for (const std::uint8_t byte : bytes.bytes()) {
    buffer.data[buffer.length++] = byte;
  }
}

SystemFacts GatherSystemFacts() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return GatherSystemFacts(info.dwProcessorType);
}

SystemFacts GatherSystemFacts(DWORD processorType) {
  SystemFacts facts;
  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  facts.totalPhysicalMemory = memory.dwTotalPhys;
  if (processorType >= PROCESSOR_INTEL_PENTIUM) {
    platform::ProcessorSource& processor = platform::GetProcessorSource();
    const platform::CpuidResult leaf0 = processor.Cpuid(0);
    facts.vendor = {leaf0.ebx, leaf0.edx, leaf0.ecx};
    const platform::CpuidResult leaf1 = processor.Cpuid(1);
    facts.signature = leaf1.eax;
    facts.features = leaf1.edx;
  } else if (processorType == PROCESSOR_INTEL_386) {
    facts.signature = 0x300;
  } else if (processorType == PROCESSOR_INTEL_486) {
    facts.signature = 0x400;
  }
  facts.speed = MeasureCpuSpeed(0);
  return facts;
}

void AppendSystemFacts(const SystemFacts& facts) {
  AppendSystemInfoWord(facts.signature);
  AppendSystemInfoWord(facts.features);
  for (DWORD word : facts.vendor) {
    AppendSystemInfoWord(word);
  }
  AppendSystemInfoWord(facts.speed.normalizedMhz);
  AppendSystemInfoWord(facts.totalPhysicalMemory);
}
