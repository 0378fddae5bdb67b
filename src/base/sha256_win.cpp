#include "base/sha256_win.h"

#include <windows.h>
#include <bcrypt.h>

#include "base/log.h"

namespace {

struct sha256_handles {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~sha256_handles() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

}  // namespace

int sha256(const void* data, size_t length, uint8_t digest[32]) {
  sha256_handles h;
  NTSTATUS status = BCryptOpenAlgorithmProvider(&h.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  if (BCRYPT_SUCCESS(status)) status = BCryptCreateHash(h.algorithm, &h.hash, nullptr, 0, nullptr, 0, 0);
  if (BCRYPT_SUCCESS(status))
    status = BCryptHashData(h.hash, static_cast<PUCHAR>(const_cast<void*>(data)), static_cast<ULONG>(length), 0);
  if (BCRYPT_SUCCESS(status)) status = BCryptFinishHash(h.hash, digest, 32, 0);
  if (!BCRYPT_SUCCESS(status)) {
    log_debug("SHA-256 failed (status=0x%08lx)", static_cast<unsigned long>(status));
    return -1;
  }
  return 0;
}
