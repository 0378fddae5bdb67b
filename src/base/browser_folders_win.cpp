#include "base/browser_folders_win.h"

#include <windows.h>
#include <bcrypt.h>
#include <sddl.h>

#include <cstring>

#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/private_folder.h"
#include "base/private_folder_win.h"
#include "base/run_folders.h"
#include "base/wide_win.h"

namespace {

constexpr int NAME_ATTEMPTS = 4;  // a taken random name was planted; a few fresh draws

SRWLOCK g_lock = SRWLOCK_INIT;
char g_data[MAX_PATH];

// The private folder's own parent: "<root>" without a trailing backslash.
int private_folder_root(char* out, size_t size) {
  char folder[MAX_PATH + 1];
  if (private_folder(folder, sizeof folder) != 0) return -1;
  folder[strlen(folder) - 1] = '\0';
  parent_directory(folder, out, size);
  return out[0] ? 0 : -1;
}

DWORD create_with(const char* path, const char* sddl) {
  wchar_t wide_path[MAX_PATH], wide_sddl[512];
  local_block<void> descriptor;
  if (utf8_to_wide(path, wide_path, MAX_PATH) != 0 || utf8_to_wide(sddl, wide_sddl, 512) != 0)
    return ERROR_FILENAME_EXCED_RANGE;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(wide_sddl, SDDL_REVISION_1, descriptor.receive(), nullptr))
    return GetLastError();
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
  return CreateDirectoryW(wide_path, &attributes) ? ERROR_SUCCESS : GetLastError();
}

// A new folder of the kind under root, with a random name; 0 with its path in out, or -1.
int make_one(run_folder kind, const char* root, const char* user_sid, const char* what, char* out, size_t size) {
  char sddl[512];
  if (run_folder_sddl(kind, user_sid, sddl, sizeof sddl) != 0) {
    log_error("No %s folder: no descriptor for user %s", what, user_sid ? user_sid : "(none)");
    return -1;
  }
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int attempt = 0; attempt < NAME_ATTEMPTS && error == ERROR_ALREADY_EXISTS; ++attempt) {
    uint8_t random[PRIVATE_FOLDER_RANDOM_BYTES];
    char name[64];
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)) ||
        private_folder_name(random, name, sizeof name) != 0 || join_path(root, name, out, size) != 0) {
      error = ERROR_INVALID_DATA;
      break;
    }
    error = create_with(out, sddl);
  }
  if (error == ERROR_SUCCESS) {
    log_info("%s folder: %s (for %s)", what, out, user_sid);
    return 0;
  }
  log_error("Could not create the %s folder under %s (err=%lu)", what, root, error);
  out[0] = '\0';
  return -1;
}

int copy_made(const char* made, char* out, size_t size) {
  AcquireSRWLockShared(&g_lock);
  int whole = made[0] && text_copy(out, size, made);
  ReleaseSRWLockShared(&g_lock);
  if (whole) return 0;
  if (size) out[0] = '\0';
  return -1;
}

// The browser's processes end a moment after its last window closed and hold files of the
// folder until then, so the removal waits a little for them. What they still hold after that
// is not left to the next restart: the removal at boot goes by names, and in this folder,
// which the browser's user may change, a folder in the path could by then be a link elsewhere.
void remove_made(char* made) {
  if (!made[0]) return;
  if (delete_tree_force_patiently(made))
    log_info("Removed browser folder: %s", made);
  else
    log_warn("Browser folder still in use, left in place (its user may change it, so it is not left to the "
             "restart): %s", made);
  made[0] = '\0';
}

}  // namespace

int browser_folders_make(const char* user_sid) {
  AcquireSRWLockExclusive(&g_lock);
  char root[MAX_PATH];
  int result = 0;
  if (!g_data[0]) {
    result = private_folder_root(root, sizeof root);
    if (result == 0)
      result = make_one(run_folder::browser_data, root, user_sid, "Browser data", g_data, sizeof g_data);
  }
  ReleaseSRWLockExclusive(&g_lock);
  return result;
}

int browser_data_folder(char* out, size_t size) { return copy_made(g_data, out, size); }

void browser_folders_remove() {
  AcquireSRWLockExclusive(&g_lock);
  remove_made(g_data);
  ReleaseSRWLockExclusive(&g_lock);
}
