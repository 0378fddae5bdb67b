// What our Add/Remove Programs entry says about the product, decided from plain values so
// the rules (order, optional values, which version wins) hold whatever the registry does.
#pragma once

#include <cstddef>
#include <cstdint>

// Facts mirrored from the package's own uninstall entry; empty/0 when not found.
struct msi_entry_facts {
  char version[64];
  char product_code[64];
  uint32_t estimated_size;
  int hidden_count;
};

enum uninstall_value_type { UNINSTALL_VALUE_TEXT, UNINSTALL_VALUE_DWORD };

struct uninstall_value {
  const char* name;
  int type;
  char text[320];  // an install folder of up to 259 characters plus a file name
  uint32_t number;
};

constexpr int UNINSTALL_VALUE_MAX = 11;

struct uninstall_entry {
  uninstall_value values[UNINSTALL_VALUE_MAX];
  int count;
};

// The entry's values in the order they are written. MsiProductCode and EstimatedSize are
// left out when the package's entry did not supply them. Returns the count.
int uninstall_entry_build(const char* install_dir, const char* display_version, const msi_entry_facts* msi,
                          const char* help_link, uninstall_entry* out);

enum display_version_source {
  DISPLAY_VERSION_FROM_MSI,
  DISPLAY_VERSION_FROM_CLIENT,
  DISPLAY_VERSION_FROM_INSTALLER,
};

// The package's own version when known, else the installed client's ProductVersion, else
// this installer's version; the chosen text goes to out.
display_version_source display_version_choose(const char* msi_version, const char* client_version,
                                              const char* installer_version, char* out, size_t size);
