#include "acquire/package_identity_win.h"

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cwchar>

#include "acquire/package_identity.h"
#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/wide_win.h"
#include "product/product.h"

namespace {

struct msi_handle_traits {
  using value_type = MSIHANDLE;
  static MSIHANDLE empty() { return 0; }
  static bool is_empty(MSIHANDLE h) { return h == 0; }
  static void close(MSIHANDLE h) { MsiCloseHandle(h); }
};
using msi_handle = owned<msi_handle_traits>;

// One value of the Property table; 0, or the Windows Installer's error (ERROR_NO_MORE_ITEMS
// when the package has no such property).
UINT read_property(MSIHANDLE database, const wchar_t* name, char* out, size_t size) {
  wchar_t query[128];
  swprintf(query, 128, L"SELECT `Value` FROM `Property` WHERE `Property` = '%ls'", name);
  msi_handle view, record;
  UINT error = MsiDatabaseOpenViewW(database, query, view.receive());
  if (error == ERROR_SUCCESS) error = MsiViewExecute(view.get(), 0);
  if (error == ERROR_SUCCESS) error = MsiViewFetch(view.get(), record.receive());
  if (error != ERROR_SUCCESS) return error;
  wchar_t value[64];
  DWORD length = 64;
  error = MsiRecordGetStringW(record.get(), 1, value, &length);
  if (error != ERROR_SUCCESS) return error;
  return wide_to_utf8(value, out, size) == 0 ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

}  // namespace

int package_identity_check(const char* msi_path, char* reason, size_t reason_size) {
  wchar_t path[MAX_PATH];
  msi_handle database;
  if (utf8_to_wide(msi_path, path, MAX_PATH) != 0) {
    text_copy(reason, reason_size, "path does not fit");
    return -1;
  }
  UINT error = MsiOpenDatabaseW(path, reinterpret_cast<LPCWSTR>(MSIDBOPEN_READONLY), database.receive());
  if (error != ERROR_SUCCESS) {
    text_format(reason, reason_size, "the Windows Installer cannot open it (err=%u)", error);
    return -1;
  }
  char upgrade_code[64] = "", version[64] = "";
  UINT code_error = read_property(database.get(), L"UpgradeCode", upgrade_code, sizeof upgrade_code);
  UINT version_error = read_property(database.get(), L"ProductVersion", version, sizeof version);
  if (code_error != ERROR_SUCCESS && code_error != static_cast<UINT>(ERROR_NO_MORE_ITEMS)) {
    text_format(reason, reason_size, "its UpgradeCode cannot be read (err=%u)", code_error);
    return -1;
  }
  if (version_error != ERROR_SUCCESS && version_error != static_cast<UINT>(ERROR_NO_MORE_ITEMS)) {
    text_format(reason, reason_size, "its ProductVersion cannot be read (err=%u)", version_error);
    return -1;
  }
  return package_identity_refusal(upgrade_code[0] ? upgrade_code : nullptr, version, PRODUCT_UPGRADE_CODE,
                                  MIN_PACKAGE_VERSION, reason, reason_size)
             ? -1
             : 0;
}
