#include "acquire/package_trust_win.h"

#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstdarg>

#include "acquire/publisher_pin.h"
#include "base/bounded_text.h"
#include "base/sha256_win.h"
#include "base/wide_win.h"
#include "product/product.h"

namespace {

// The verification state WinVerifyTrust keeps between its verify and close calls.
struct trust_state {
  WINTRUST_FILE_INFO file = {};
  WINTRUST_DATA data = {};
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  bool open = false;

  LONG verify(const wchar_t* path, HANDLE handle, DWORD revocation) {
    close();
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path;
    file.hFile = handle;
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = revocation;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = revocation == WTD_REVOKE_WHOLECHAIN ? WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT : 0;
    open = true;
    return WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  }
  void close() {
    if (!open) return;
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    open = false;
  }
  ~trust_state() { close(); }
};

// Revocation is checked along the whole chain (the root is trusted by being a root). A revoked
// certificate is refused. When the status cannot be had (no network to the CRL or OCSP host,
// a proxy that lets only the download hosts through), the install still goes on, but only after
// the signature has been verified again without revocation and passed: the chain and the
// content hash are never skipped.
bool revocation_unknown(LONG status) {
  return status == static_cast<LONG>(CERT_E_REVOCATION_FAILURE) ||
         status == static_cast<LONG>(CRYPT_E_REVOCATION_OFFLINE) ||
         status == static_cast<LONG>(CRYPT_E_NO_REVOCATION_CHECK);
}

LONG verify_signature(trust_state& trust, const wchar_t* path, HANDLE handle) {
  LONG status = trust.verify(path, handle, WTD_REVOKE_WHOLECHAIN);
  if (revocation_unknown(status)) status = trust.verify(path, handle, WTD_REVOKE_NONE);
  return status;
}

// SHA-256 of the signer certificate's SubjectPublicKeyInfo, as DER.
int signer_key_digest(trust_state& trust, uint8_t digest[32]) {
  CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(trust.data.hWVTStateData);
  CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
  CRYPT_PROVIDER_CERT* certificate = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
  if (!certificate || !certificate->pCert) return -1;
  local_block<BYTE> der;
  DWORD size = 0;
  if (!CryptEncodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, &certificate->pCert->pCertInfo->SubjectPublicKeyInfo,
                           CRYPT_ENCODE_ALLOC_FLAG, nullptr, der.receive(), &size))
    return -1;
  return sha256(der.get(), size, digest);
}

int refuse(kernel_handle* held, char* reason, size_t size, const char* format, ...) __attribute__((format(printf, 4, 5)));
int refuse(kernel_handle* held, char* reason, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  text_vformat(reason, size, format, args);
  va_end(args);
  held->reset();
  return -1;
}

}  // namespace

int package_trust_open(const char* msi_path, kernel_handle* held, char* reason, size_t reason_size) {
  held->reset();
  wchar_t path[MAX_PATH];
  if (utf8_to_wide(msi_path, path, MAX_PATH) != 0) return refuse(held, reason, reason_size, "path does not fit");
  held->reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!held->valid()) return refuse(held, reason, reason_size, "cannot open %s (err=%lu)", msi_path, GetLastError());
  // The handle would hold the link, not the file msiexec would open through it.
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(held->get(), &info))
    return refuse(held, reason, reason_size, "cannot read %s (err=%lu)", msi_path, GetLastError());
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return refuse(held, reason, reason_size, "%s is a link, not a file", msi_path);

  trust_state trust;
  LONG status = verify_signature(trust, path, held->get());
  if (status == static_cast<LONG>(TRUST_E_NOSIGNATURE))
    return refuse(held, reason, reason_size, "no signature (0x%08lx)", static_cast<unsigned long>(status));
  if (status != 0)
    return refuse(held, reason, reason_size, "signature not verified (0x%08lx)", static_cast<unsigned long>(status));

  uint8_t digest[32];
  if (signer_key_digest(trust, digest) != 0)
    return refuse(held, reason, reason_size, "signer certificate not found (err=%lu)", GetLastError());
  char hex[65];
  digest_hex(digest, hex);
  switch (publisher_pin_check(digest, PUBLISHER_KEY_SHA256)) {
    case PIN_MATCHED: return 0;
    case PIN_LIST_EMPTY:
      return refuse(held, reason, reason_size, "this build trusts no publisher (no key pinned), signer key %s", hex);
    default: return refuse(held, reason, reason_size, "signer key %s is not a pinned publisher", hex);
  }
}
