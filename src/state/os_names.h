// Words the system probes give the machine, as pure functions of the numbers Windows reports.
#pragma once

#include <cstddef>
#include <cstdint>

// have_native_machine: IsWow64Process2 existed and succeeded, giving native_machine.
// Otherwise (or for an unknown machine) the processor architecture of GetNativeSystemInfo decides.
const char* os_architecture_text(int have_native_machine, uint16_t native_machine, uint16_t processor_architecture);

// "Windows 11", "Windows 10", "Windows Server", "Windows 8.1", ... or "Windows %u.%u".
void os_name_text(uint32_t major, uint32_t minor, uint32_t build, int workstation, char* out, size_t size);

// A server's edition, told by version and build alone ("Server 2022", "Server 2012 R2", ...).
const char* os_server_edition(uint32_t major, uint32_t minor, uint32_t build);

// A workstation's edition from its GetProductInfo product type; unknown types as "SKU 0x%X".
void os_edition_text(uint32_t product_type, char* out, size_t size);
