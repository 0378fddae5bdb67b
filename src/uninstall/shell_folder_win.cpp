#include "uninstall/shell_folder_win.h"

#include <windows.h>
#include <shlobj.h>

#include "app/bounded_text.h"
#include "app/wide_win.h"

int shell_folder(int csidl, char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, wide)) && wide[0])
    return wide_to_utf8(wide, out, size);
  if (size) out[0] = '\0';
  return -1;
}

int join_path(const char* folder, const char* name, char* out, size_t size) {
  return text_format(out, size, "%s\\%s", folder, name) ? 0 : -1;
}
