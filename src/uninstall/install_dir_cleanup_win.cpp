// The install folder: everything but the uninstaller goes first; the uninstaller and the
// folder go only when nothing else is left, so a failed cleanup can be retried from it.
#include <windows.h>

#include "base/delete_tree.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "uninstall/cleanup_steps_win.h"
#include "uninstall/msi_uninstall.h"

namespace {

constexpr int REMOVE_ATTEMPTS = 5;
constexpr DWORD DIR_RETRY_MS = 500;
constexpr DWORD PARENT_RETRY_MS = 300;

// Calls remove_one for every entry but ".", ".." and the uninstaller; returns how many
// such entries were seen.
template <typename Action>
int for_each_removable(const char* folder, Action remove_one) {
  char pattern[MAX_PATH];
  wchar_t wide[MAX_PATH];
  if (join_path(folder, "*", pattern, sizeof pattern) != 0 || utf8_to_wide(pattern, wide, MAX_PATH) != 0) return 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(wide, &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int seen = 0;
  do {
    char name[MAX_PATH * 3];
    if (wide_to_utf8(found.cFileName, name, sizeof name) != 0 || !install_dir_entry_to_remove(name)) continue;
    ++seen;
    remove_one(name, found.dwFileAttributes);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return seen;
}

void remove_install_entry(const char* folder, const char* name, DWORD attributes) {
  char path[MAX_PATH];
  if (join_path(folder, name, path, sizeof path) != 0) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    delete_tree(path);
  else
    delete_file_no_follow(path);
}

void remove_emptied_install_dir(const char* folder) {
  char uninstaller[MAX_PATH];
  wchar_t folder_wide[MAX_PATH];
  if (join_path(folder, UNINSTALLER_EXE, uninstaller, sizeof uninstaller) == 0) delete_file_no_follow(uninstaller);
  if (utf8_to_wide(folder, folder_wide, MAX_PATH) != 0) return;
  for (int attempt = 1; attempt <= REMOVE_ATTEMPTS; ++attempt) {
    if (RemoveDirectoryW(folder_wide)) break;
    DWORD error = GetLastError();
    // Already gone (never created, or removed by someone else): nothing to retry.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) break;
    log_warn("RemoveDirectoryA attempt %d failed (err=%lu): %s", attempt, error, folder);
    if (attempt < REMOVE_ATTEMPTS) Sleep(DIR_RETRY_MS);
  }
  if (GetFileAttributesW(folder_wide) != INVALID_FILE_ATTRIBUTES) {
    log_warn("Install directory still present: %s", folder);
    return;
  }
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    log_info("Removed install directory: %s", folder);
  else
    log_warn("Install directory state indeterminate (err=%lu): %s", error, folder);
}

// The parent ("Corvane Labs") is shared with the vendor's other products: it goes only
// when empty, and a folder that is not empty ends the attempts at once.
void remove_empty_parent(const char* folder) {
  char parent[MAX_PATH];
  wchar_t wide[MAX_PATH];
  parent_directory(folder, parent, sizeof parent);
  if (!parent[0] || utf8_to_wide(parent, wide, MAX_PATH) != 0) return;
  for (int attempt = 1; attempt <= REMOVE_ATTEMPTS; ++attempt) {
    if (RemoveDirectoryW(wide)) {
      log_info("Removed empty parent directory: %s", parent);
      return;
    }
    if (GetLastError() == ERROR_DIR_NOT_EMPTY) return;
    if (attempt < REMOVE_ATTEMPTS) Sleep(PARENT_RETRY_MS);
  }
}

}  // namespace

uninstall_result clean_install_dir(const char* install_dir) {
  if (!install_dir || !install_dir[0]) return UNINSTALL_COMPLETE;
  for_each_removable(install_dir,
                     [&](const char* name, DWORD attributes) { remove_install_entry(install_dir, name, attributes); });
  uninstall_result result = UNINSTALL_COMPLETE;
  if (for_each_removable(install_dir, [](const char*, DWORD) {}) > 0) {
    log_warn("Files remain in install directory — keeping uninstaller for manual retry: %s", install_dir);
    result = UNINSTALL_FILES_REMAIN;
  } else {
    remove_emptied_install_dir(install_dir);
  }
  remove_empty_parent(install_dir);
  return result;
}
