// Words the system probes give the machine, as pure functions of the numbers Windows reports.
#pragma once

#include <cstdint>

// have_native_machine: IsWow64Process2 existed and succeeded, giving native_machine.
// Otherwise (or for an unknown machine) the processor architecture of GetNativeSystemInfo decides.
const char* os_architecture_text(int have_native_machine, uint16_t native_machine, uint16_t processor_architecture);
