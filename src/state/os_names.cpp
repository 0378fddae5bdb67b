#include "state/os_names.h"

namespace {
constexpr uint16_t MACHINE_I386 = 0x014C;
constexpr uint16_t MACHINE_AMD64 = 0x8664;
constexpr uint16_t MACHINE_ARM64 = 0xAA64;
constexpr uint16_t PROCESSOR_ARCH_AMD64 = 9;
}  // namespace

const char* os_architecture_text(int have_native_machine, uint16_t native_machine, uint16_t processor_architecture) {
  if (have_native_machine) {
    if (native_machine == MACHINE_AMD64) return "x64";
    if (native_machine == MACHINE_ARM64) return "ARM64";
    if (native_machine == MACHINE_I386) return "x86";
  }
  return processor_architecture == PROCESSOR_ARCH_AMD64 ? "x64" : "x86";
}
