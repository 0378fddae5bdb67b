// trust_root.exe <certificate.der>: adds a DER certificate to the LocalMachine "Root" store of
// the prefix it runs in, so that prefix (and no other) trusts the vendor stand-in's test CA.
// Prints "trusted" and exits 0, or names the failing call and exits 1.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fwprintf(stderr, L"usage: trust_root.exe CERT.der\n");
    return 2;
  }
  FILE* in = _wfopen(argv[1], L"rb");
  if (!in) {
    fwprintf(stderr, L"cannot open %ls\n", argv[1]);
    return 1;
  }
  std::vector<unsigned char> der(64 * 1024);
  size_t size = fread(der.data(), 1, der.size(), in);
  fclose(in);
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!store) {
    fwprintf(stderr, L"CertOpenStore failed (%lu)\n", GetLastError());
    return 1;
  }
  BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(size),
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  DWORD err = GetLastError();
  CertCloseStore(store, 0);
  if (!added) {
    fwprintf(stderr, L"CertAddEncodedCertificateToStore failed (%lu)\n", err);
    return 1;
  }
  wprintf(L"trusted\n");
  return 0;
}
