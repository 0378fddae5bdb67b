// The hashed Windows machine GUID: identifies the machine across reinstalls of the product
// without sending the GUID itself.
#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "base/log.h"
#include "base/registry_win.h"
#include "state/machine_hash.h"

namespace {

struct sha256_handles {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~sha256_handles() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

int sha256(const char* text, size_t length, uint8_t digest[32]) {
  sha256_handles h;
  NTSTATUS status = BCryptOpenAlgorithmProvider(&h.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  if (BCRYPT_SUCCESS(status)) status = BCryptCreateHash(h.algorithm, &h.hash, nullptr, 0, nullptr, 0, 0);
  if (BCRYPT_SUCCESS(status))
    status = BCryptHashData(h.hash, reinterpret_cast<PUCHAR>(const_cast<char*>(text)), static_cast<ULONG>(length), 0);
  if (BCRYPT_SUCCESS(status)) status = BCryptFinishHash(h.hash, digest, 32, 0);
  if (!BCRYPT_SUCCESS(status)) {
    log_debug("machine_id_sha2: SHA-256 failed (status=0x%08lx)", static_cast<unsigned long>(status));
    return -1;
  }
  return 0;
}

}  // namespace

int machine_guid_sha256(char out[MACHINE_HASH_BUFFER]) {
  out[0] = '\0';
  char guid[128];
  if (reg_read_string(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid", guid, sizeof guid) != 0)
    return -1;
  uint8_t digest[32];
  if (sha256(guid, strlen(guid), digest) != 0) return -1;
  hex_upper(digest, sizeof digest, out, MACHINE_HASH_BUFFER);
  return 0;
}
