#include "battle/processor/cpu_type.h"

#include <cstring>

#include "base/byte_writer.h"
#include "platform/kernel/processor.h"

std::atomic<int> gNonIntelProcessor{0};

namespace {

constexpr DWORD kFlagsHighNibble = 0xF000;

// Whether the given flag bits change when written inverted; the flags are put back either way.
bool CanToggleFlags(DWORD bits) {
  platform::ProcessorSource& processor = platform::GetProcessorSource();
  const DWORD original = processor.ReadFlags();
  processor.WriteFlags(original ^ bits);
  const DWORD changed = processor.ReadFlags();
  processor.WriteFlags(original);
  return ((changed ^ original) & bits) == bits;
}

// The high nibble of FLAGS after writing it with the given value.
DWORD HighNibbleAfterWriting(DWORD nibble) {
  platform::ProcessorSource& processor = platform::GetProcessorSource();
  const DWORD original = processor.ReadFlags();
  processor.WriteFlags((original & ~kFlagsHighNibble) | nibble);
  const DWORD written = processor.ReadFlags();
  processor.WriteFlags(original);
  return written & kFlagsHighNibble;
}

// CPUID leaf 1, after comparing the vendor text of leaf 0 with "GenuineIntel".
platform::CpuidResult ReadLeafOneCheckingVendor() {
  platform::ProcessorSource& processor = platform::GetProcessorSource();
  const platform::CpuidResult vendor = processor.Cpuid(0);
  // The vendor text is the bytes of EBX, EDX and ECX, each low byte first.
  arena::ByteWriter text;
  text.U32(vendor.ebx);
  text.U32(vendor.edx);
  text.U32(vendor.ecx);
  if (std::memcmp(text.bytes().data(), "GenuineIntel", text.size()) != 0) {
    gNonIntelProcessor = 1;
  }
  return processor.Cpuid(1);
}

}  // namespace

int HasCpuidInstruction() { return CanToggleFlags(platform::kFlagsId) ? 1 : 0; }

DWORD GetCpuType() {
  DWORD type;
  if (HasCpuidInstruction() != 0) {
    type = GetCpuidFamily();
  } else {
    gNonIntelProcessor = IsCyrix();
    if (Check8086() != 0) {
      type = 0;
    } else if (Check80286() != 0) {
      type = 2;
    } else if (Check80386() != 0) {
      type = 3;
    } else {
      type = 4;
    }
  }
  if (gNonIntelProcessor != 0) {
    type |= kCpuTypeNotIntel;
  }
  return type;
}

DWORD GetCpuidFamily() { return (ReadLeafOneCheckingVendor().eax >> 8) & 0xF; }

DWORD GetCpuFeatures() {
  if (HasCpuidInstruction() == 0) {
    return 0;
  }
  return ReadLeafOneCheckingVendor().edx;
}

int IsCyrix() { return platform::GetProcessorSource().DivisionKeepsZeroFlag(0x5555, 2) ? 1 : 0; }

int Check8086() { return HighNibbleAfterWriting(0) == kFlagsHighNibble ? 1 : 0; }

int Check80286() { return HighNibbleAfterWriting(kFlagsHighNibble) == 0 ? 1 : 0; }

int Check80386() { return CanToggleFlags(platform::kFlagsAlignmentCheck) ? 0 : 1; }
