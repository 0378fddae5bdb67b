#include "base/unlinked_file_win.h"

#include <cwchar>

#include "base/handle_win.h"
#include "base/opened_file_win.h"

namespace {

constexpr DWORD FINAL_PATH_MAX = MAX_PATH * 2;  // room for the "\\?\" and "UNC\" forms

bool is_plain_single_file(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info = {};
  return opened_plain_file(file) && GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1;
}

}  // namespace

bool handle_final_path(HANDLE handle, wchar_t* out, DWORD count) {
  DWORD n = GetFinalPathNameByHandleW(handle, out, count, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  return n > 0 && n < count;
}

bool handle_is_entry_of(HANDLE handle, const wchar_t* folder_final, const wchar_t* name) {
  wchar_t expected[FINAL_PATH_MAX], actual[FINAL_PATH_MAX];
  size_t length = wcslen(folder_final);
  if (length && folder_final[length - 1] == L'\\') --length;  // a drive's root ends in one
  if (length + 1 + wcslen(name) >= FINAL_PATH_MAX || !handle_final_path(handle, actual, FINAL_PATH_MAX)) return false;
  swprintf(expected, FINAL_PATH_MAX, L"%.*ls\\%ls", static_cast<int>(length), folder_final, name);
  return CompareStringOrdinal(expected, -1, actual, -1, TRUE) == CSTR_EQUAL;
}

bool handle_is_at_path(HANDLE handle, const wchar_t* path) {
  const wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || slash == path || slash - path >= MAX_PATH) return false;
  wchar_t folder_path[MAX_PATH];
  wmemcpy(folder_path, path, slash - path);
  folder_path[slash - path] = L'\0';
  kernel_handle folder(CreateFileW(folder_path, FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  wchar_t folder_final[FINAL_PATH_MAX];
  return folder.valid() && handle_final_path(folder.get(), folder_final, FINAL_PATH_MAX) &&
         handle_is_entry_of(handle, folder_final, slash + 1);
}

HANDLE open_unlinked_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
  kernel_handle file(CreateFileW(path, access, share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return INVALID_HANDLE_VALUE;
  if (is_plain_single_file(file.get()) && handle_is_at_path(file.get(), path)) return file.release();
  file.reset();
  SetLastError(ERROR_CANT_ACCESS_FILE);
  return INVALID_HANDLE_VALUE;
}
