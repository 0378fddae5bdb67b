#include <windows.h>

#include <cstring>

#include "base/bounded_text.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "base/wide_win.h"
#include "install/installed_app.h"
#include "product/product.h"

namespace {

// A folder named like the app must not count: the question is whether it can be started.
bool file_exists(const char* path) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return false;
  DWORD attributes = GetFileAttributesW(wide);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// App Paths values are sometimes written quoted by other tools; the quotes are not part of
// the file name.
void strip_quotes(char* path) {
  size_t len = strlen(path);
  if (len > 1 && path[0] == '"' && path[len - 1] == '"') {
    memmove(path, path + 1, len - 2);
    path[len - 2] = '\0';
  }
}

// A path cut short by its buffer names some other file, so it counts as absent.
bool app_in_folder_exists(const char* folder) {
  char path[MAX_PATH];
  if (!text_format(path, sizeof path, "%s\\%s", folder, PRODUCT_APP_EXE)) return false;
  return file_exists(path);
}

}  // namespace

bool installed_app_present(const install_state* state) {
  char value[MAX_PATH];
  if (reg_found_text(reg_read_text(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, REG_VIEW_64, nullptr, value, sizeof value)) &&
      value[0]) {
    strip_quotes(value);
    if (file_exists(value)) return true;
  }
  if (reg_found_text(
          reg_read_text(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, REG_VIEW_64, "InstallLocation", value, sizeof value)) &&
      value[0]) {
    size_t len = strlen(value);
    if (value[len - 1] == '\\') value[len - 1] = '\0';
    if (app_in_folder_exists(value)) return true;
  }
  return state->install_dir[0] && app_in_folder_exists(state->install_dir) ? 1 : 0;
}
