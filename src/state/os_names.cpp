#include "state/os_names.h"

#include "base/bounded_text.h"

namespace {

constexpr uint16_t MACHINE_I386 = 0x014C;
constexpr uint16_t MACHINE_AMD64 = 0x8664;
constexpr uint16_t MACHINE_ARM64 = 0xAA64;
constexpr uint16_t PROCESSOR_ARCH_AMD64 = 9;

struct edition_row {
  uint32_t type;
  const char* edition;
};

const edition_row EDITIONS[] = {
    {1, "Ultimate"},         {28, "Ultimate"},     {2, "Home Basic"},     {5, "Home Basic"},
    {3, "Home Premium"},     {26, "Home Premium"}, {4, "Enterprise"},     {27, "Enterprise"},
    {6, "Business"},         {16, "Business"},     {11, "Starter"},       {47, "Starter"},
    {48, "Pro"},             {49, "Pro"},          {72, "Pro with Media Center"},
    {98, "Home"},            {99, "Home"},         {100, "Home"},         {101, "Home"},
    {121, "Education"},      {122, "Education"},   {125, "Enterprise LTSC"}, {129, "Enterprise LTSC"},
    {161, "Pro for Workstations"}, {162, "Pro for Workstations"}, {178, "S"}, {179, "S"},
};

// The pre-10 names; 5.1 and 5.0 servers keep the workstation's name, as those releases did.
const char* legacy_name(uint32_t major, uint32_t minor, int workstation) {
  if (major == 6 && minor <= 3) {
    static const char* const SIX[] = {"Windows Vista", "Windows 7", "Windows 8", "Windows 8.1"};
    return workstation ? SIX[minor] : "Windows Server";
  }
  if (major == 5 && minor >= 2) return workstation ? "Windows XP" : "Windows Server";
  if (major == 5 && minor == 1) return "Windows XP";
  if (major == 5 && minor == 0) return "Windows 2000";
  return nullptr;
}

}  // namespace

const char* os_architecture_text(int have_native_machine, uint16_t native_machine, uint16_t processor_architecture) {
  if (have_native_machine) {
    if (native_machine == MACHINE_AMD64) return "x64";
    if (native_machine == MACHINE_ARM64) return "ARM64";
    if (native_machine == MACHINE_I386) return "x86";
  }
  return processor_architecture == PROCESSOR_ARCH_AMD64 ? "x64" : "x86";
}

void os_name_text(uint32_t major, uint32_t minor, uint32_t build, int workstation, char* out, size_t size) {
  if (major == 10) {
    text_copy(out, size, !workstation ? "Windows Server" : build >= 22000 ? "Windows 11" : "Windows 10");
    return;
  }
  const char* name = legacy_name(major, minor, workstation);
  if (name) text_copy(out, size, name);
  else text_format(out, size, "Windows %lu.%lu", static_cast<unsigned long>(major), static_cast<unsigned long>(minor));
}

const char* os_server_edition(uint32_t major, uint32_t minor, uint32_t build) {
  if (major == 10) {
    if (build > 26099) return "Server 2025";
    if (build > 20347) return "Server 2022";
    if (build > 17762) return "Server 2019";
    return "Server 2016";
  }
  if (major == 6) {
    static const char* const SIX[] = {"Server 2008", "Server 2008 R2", "Server 2012", "Server 2012 R2"};
    return minor <= 3 ? SIX[minor] : "Server";
  }
  return major == 5 ? "Server 2003" : "Server";
}

void os_edition_text(uint32_t product_type, char* out, size_t size) {
  for (const edition_row& row : EDITIONS) {
    if (row.type == product_type) {
      text_copy(out, size, row.edition);
      return;
    }
  }
  text_format(out, size, "SKU 0x%lX", static_cast<unsigned long>(product_type));
}
