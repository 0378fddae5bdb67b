// The hashed Windows machine GUID: identifies the machine across reinstalls of the product
// without sending the GUID itself.
#include <windows.h>

#include <cstring>

#include "base/reg_view_win.h"
#include "base/sha256_win.h"
#include "state/machine_hash.h"

int machine_guid_sha256(char out[MACHINE_HASH_BUFFER]) {
  out[0] = '\0';
  char guid[128];
  if (!reg_found_text(reg_read_text(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Cryptography", REG_VIEW_64, "MachineGuid",
                                    guid, sizeof guid)))
    return -1;
  uint8_t digest[32];
  if (sha256(guid, strlen(guid), digest) != 0) return -1;
  hex_upper(digest, sizeof digest, out, MACHINE_HASH_BUFFER);
  return 0;
}
