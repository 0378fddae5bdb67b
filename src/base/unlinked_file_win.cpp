#include "base/unlinked_file_win.h"

#include <cwchar>

#include "base/handle_win.h"

namespace {

// The path the handle really reaches, as Windows normalises it ("\\?\C:\...").
int final_path(HANDLE handle, wchar_t* out, DWORD count) {
  DWORD n = GetFinalPathNameByHandleW(handle, out, count, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  return n > 0 && n < count;
}

// The file must be the entry of its folder under its own name: its final path is the final
// path of the folder the given path names, a backslash, and the name.
int lies_where_named(HANDLE file, const wchar_t* path) {
  const wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || slash == path) return 0;
  wchar_t folder_path[MAX_PATH];
  size_t folder_length = static_cast<size_t>(slash - path);
  if (folder_length >= MAX_PATH) return 0;
  wmemcpy(folder_path, path, folder_length);
  folder_path[folder_length] = L'\0';
  scoped_handle folder(CreateFileW(folder_path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  wchar_t expected[MAX_PATH * 2], actual[MAX_PATH * 2];
  if (!folder.valid() || !final_path(folder.handle, expected, MAX_PATH) || !final_path(file, actual, MAX_PATH * 2))
    return 0;
  size_t length = wcslen(expected);
  if (length && expected[length - 1] == L'\\') expected[--length] = L'\0';  // a drive's root
  if (length + 1 + wcslen(slash + 1) >= MAX_PATH * 2) return 0;
  wcscat(expected, slash);
  return CompareStringOrdinal(expected, -1, actual, -1, TRUE) == CSTR_EQUAL;
}

int is_plain_single_file(HANDLE file) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  BY_HANDLE_FILE_INFORMATION info = {};
  return GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
         !(tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
         GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1;
}

}  // namespace

HANDLE open_unlinked_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE file = CreateFileW(path, access, share, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return file;
  if (is_plain_single_file(file) && lies_where_named(file, path)) return file;
  CloseHandle(file);
  SetLastError(ERROR_CANT_ACCESS_FILE);
  return INVALID_HANDLE_VALUE;
}
