#include "base/private_folder_win.h"

#include <windows.h>
#include <bcrypt.h>
#include <sddl.h>

#include <cstring>
#include <cwchar>

#include "base/admin_token.h"
#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/opened_file_win.h"
#include "base/private_folder.h"
#include "base/wide_win.h"

namespace {

constexpr int NAME_ATTEMPTS = 4;  // a taken random name is a planted one; a few fresh draws, then the next place

SRWLOCK g_lock = SRWLOCK_INIT;
char g_path[MAX_PATH];  // with its trailing backslash; empty while there is none
HANDLE g_held = INVALID_HANDLE_VALUE;

// The SID text of the process's user when the token cannot act as an Administrator (an
// unelevated run), so that the process reaches its own files; empty otherwise.
void unprivileged_user_sid(char* out, size_t size) {
  out[0] = '\0';
  if (is_process_elevated()) return;
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
  scoped_handle token(raw);
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD got = 0;
  if (!GetTokenInformation(token.handle, TokenUser, buffer, sizeof buffer, &got)) return;
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) return;
  if (wide_to_utf8(text, out, size) != 0) out[0] = '\0';
  LocalFree(text);
}

// The places to try, best first; each with its trailing backslash, empty when not there.
int candidate_roots(wchar_t roots[3][MAX_PATH + 1]) {
  wchar_t windows[MAX_PATH];
  UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  int count = 0;
  if (n > 0 && n < MAX_PATH - 16) {
    swprintf(roots[count++], MAX_PATH + 1, L"%ls\\SystemTemp\\", windows);
    swprintf(roots[count++], MAX_PATH + 1, L"%ls\\Temp\\", windows);
  }
  DWORD t = GetTempPathW(MAX_PATH + 1, roots[count]);
  if (t > 0 && t <= MAX_PATH) ++count;
  return count;
}

int is_folder(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens the folder just made, without following a link and without delete sharing, and
// checks that it is still a plain folder (in the user's temp folder it could have been
// renamed away and replaced in the moment between the two calls).
HANDLE hold_folder(const wchar_t* path) {
  HANDLE folder = CreateFileW(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return folder;
  DWORD attributes = opened_attributes(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    CloseHandle(folder);
    SetLastError(ERROR_CANT_ACCESS_FILE);
    return INVALID_HANDLE_VALUE;
  }
  return folder;
}

// One place: a few random names; ERROR_SUCCESS with g_path and g_held set, else the error.
DWORD make_under(const wchar_t* root) {
  DWORD error = ERROR_PATH_NOT_FOUND;
  for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
    uint8_t random[PRIVATE_FOLDER_RANDOM_BYTES];
    char name[64];
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)) ||
        private_folder_name(random, name, sizeof name) != 0)
      return ERROR_INVALID_DATA;
    wchar_t path[MAX_PATH];
    wchar_t wide_name[64];
    if (utf8_to_wide(name, wide_name, 64) != 0 ||
        swprintf(path, MAX_PATH, L"%ls%ls", root, wide_name) < 0)
      return ERROR_FILENAME_EXCED_RANGE;
    error = private_folder_create(path);
    if (error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_SUCCESS) return error;
    HANDLE held = hold_folder(path);
    if (held == INVALID_HANDLE_VALUE) return GetLastError();
    wchar_t with_slash[MAX_PATH];
    if (swprintf(with_slash, MAX_PATH, L"%ls\\", path) < 0 || wide_to_utf8(with_slash, g_path, sizeof g_path) != 0) {
      CloseHandle(held);
      g_path[0] = '\0';
      return ERROR_FILENAME_EXCED_RANGE;
    }
    g_held = held;
    return ERROR_SUCCESS;
  }
  return error;
}

void make_folder() {
  wchar_t roots[3][MAX_PATH + 1];
  int count = candidate_roots(roots);
  DWORD error = ERROR_PATH_NOT_FOUND;
  for (int i = 0; i < count; ++i) {
    if (!is_folder(roots[i])) continue;
    error = make_under(roots[i]);
    if (error == ERROR_SUCCESS) {
      log_info("Private working folder: %s", g_path);
      return;
    }
    char root[MAX_PATH * 3];
    wide_to_utf8(roots[i], root, sizeof root);
    log_info("No private working folder under %s (err=%lu)", root, error);
  }
  log_error("Could not create a private working folder (err=%lu)", error);
}

}  // namespace

PSECURITY_DESCRIPTOR private_folder_descriptor() {
  char user[SECURITY_MAX_SID_SIZE * 4];
  unprivileged_user_sid(user, sizeof user);
  char sddl[512];
  wchar_t wide[512];
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (private_folder_sddl(user[0] ? user : nullptr, sddl, sizeof sddl) != 0 || utf8_to_wide(sddl, wide, 512) != 0 ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorW(wide, SDDL_REVISION_1, &descriptor, nullptr))
    return nullptr;
  return descriptor;
}

DWORD private_folder_create(const wchar_t* path) {
  PSECURITY_DESCRIPTOR descriptor = private_folder_descriptor();
  if (!descriptor) return ERROR_INVALID_SECURITY_DESCR;
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  DWORD error = CreateDirectoryW(path, &attributes) ? ERROR_SUCCESS : GetLastError();
  LocalFree(descriptor);
  return error;
}

int private_folder(char* out, size_t size) {
  AcquireSRWLockExclusive(&g_lock);
  if (!g_path[0]) make_folder();
  int whole = g_path[0] && text_copy(out, size, g_path);
  ReleaseSRWLockExclusive(&g_lock);
  if (whole) return 0;
  if (size) out[0] = '\0';
  return -1;
}

int private_file_path(const char* name, char* out, size_t size) {
  if (private_folder(out, size) == 0 && text_append(out, size, name)) return 0;
  if (size) out[0] = '\0';
  return -1;
}

void private_folder_remove() {
  AcquireSRWLockExclusive(&g_lock);
  if (g_path[0]) {
    CloseHandle(g_held);
    g_held = INVALID_HANDLE_VALUE;
    char folder[MAX_PATH];
    text_copy(folder, g_path);
    folder[strlen(folder) - 1] = '\0';  // delete_tree takes the folder without its backslash
    delete_tree_force(folder);
    // What is still in use (the WebView2 loader a screen loaded, a running staged copy) keeps
    // it until it is free; it then goes at the next restart. That is the normal end of a run
    // with a screen, so only what cannot even be left to the restart is a warning.
    if (delete_tree_at_restart(folder, "Private working folder") == 0)
      log_info("Removed private working folder: %s", folder);
    g_path[0] = '\0';
  }
  ReleaseSRWLockExclusive(&g_lock);
}
