// Everything of the product that the probe looks for and the uninstaller removes. The
// probe and the removal read the same lists, so whatever is detected is also cleaned.
#pragma once

#include <cstddef>

#define PRODUCT_EXTENSION_ID "kbmhgaeplfcjdmnoiakbpcfejhgdlmno"
#define CHROME_FORCELIST_KEY "Software\\Policies\\Google\\Chrome\\ExtensionInstallForcelist"
#define CHROME_POLICY_KEY "Software\\Policies\\Google\\Chrome"
#define GOOGLE_POLICY_KEY "Software\\Policies\\Google"

// A fixed list of names and its length.
struct name_list {
  const char* const* names;
  size_t count;
};

extern const name_list PRODUCT_SERVICES;        // "Corvane.Service", then the driver
extern const name_list PRODUCT_APPDATA_FOLDERS;  // under the common application data folder
extern const name_list PRODUCT_SHORTCUTS;        // on the common, then the user's desktop
extern const name_list PRODUCT_TASK_FILES;       // under <system folder>\Tasks, as the probe sees them
extern const name_list PRODUCT_TASK_NAMES;       // as schtasks takes them, in deletion order
extern const name_list HKLM_IDENTITY_VALUES;     // survive every purge of the HKLM product key
extern const name_list HKCU_IDENTITY_VALUES;     // survive every purge of the HKCU product key
