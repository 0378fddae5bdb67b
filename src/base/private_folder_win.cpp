#include "base/private_folder_win.h"

#include <windows.h>
#include <bcrypt.h>
#include <sddl.h>
#include <winternl.h>

#include <cstring>
#include <cwchar>

#include "base/admin_token.h"
#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/private_folder.h"
#include "base/private_folder_seam_win.h"
#include "base/wide_win.h"

UINT(WINAPI* private_folder_windows_directory)(wchar_t* buffer, UINT size) = GetSystemWindowsDirectoryW;

namespace {

constexpr int NAME_ATTEMPTS = 4;  // a taken random name is a planted one; a few fresh draws, then the next place

SRWLOCK g_lock = SRWLOCK_INIT;
char g_path[MAX_PATH];  // with its trailing backslash; empty while there is none
kernel_handle g_held;

// The SID text of the process's user when the token cannot act as an Administrator (an
// unelevated run), so that the process reaches its own files; empty otherwise.
void unprivileged_user_sid(char* out, size_t size) {
  out[0] = '\0';
  if (is_process_elevated()) return;
  kernel_handle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return;
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD got = 0;
  if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &got)) return;
  local_block<wchar_t> text;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, text.receive())) return;
  if (wide_to_utf8(text.get(), out, size) != 0) out[0] = '\0';
}

// The places to try, best first; each with its trailing backslash. The user's temp folder
// (TMP/TEMP, which the user sets) only for a run that is not elevated: an elevated run that
// worked there would write what it later runs where the user decides.
int candidate_roots(wchar_t roots[3][MAX_PATH + 1], bool elevated) {
  wchar_t windows[MAX_PATH];
  UINT n = private_folder_windows_directory(windows, MAX_PATH);
  int count = 0;
  if (n > 0 && n < MAX_PATH - 16) {
    swprintf(roots[count++], MAX_PATH + 1, L"%ls\\SystemTemp\\", windows);
    swprintf(roots[count++], MAX_PATH + 1, L"%ls\\Temp\\", windows);
  }
  if (elevated) return count;
  DWORD t = GetTempPathW(MAX_PATH + 1, roots[count]);
  if (t > 0 && t <= MAX_PATH) ++count;
  return count;
}

bool is_folder(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    kernel_handle held;
    error = private_folder_create_held(path, held.receive());
    if (error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_SUCCESS) return error;
    wchar_t with_slash[MAX_PATH];
    if (swprintf(with_slash, MAX_PATH, L"%ls\\", path) < 0 || wide_to_utf8(with_slash, g_path, sizeof g_path) != 0) {
      g_path[0] = '\0';
      return ERROR_FILENAME_EXCED_RANGE;
    }
    g_held.reset(held.release());
    return ERROR_SUCCESS;
  }
  return error;
}

void make_folder() {
  wchar_t roots[3][MAX_PATH + 1];
  bool elevated = is_process_elevated();
  int count = candidate_roots(roots, elevated);
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
  if (elevated)
    log_error("Could not create a private working folder in the system's temp folders (err=%lu); an elevated run "
              "never works in the user's temp folder",
              error);
  else
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

// One call creates the folder and opens it: the handle is to the folder this call made, never
// to one found under the name or renamed into place after a separate creation. FILE_CREATE
// fails on any name already there (a folder, a file or a link).
DWORD private_folder_create_held(const wchar_t* path, HANDLE* held) {
  *held = INVALID_HANDLE_VALUE;
  wchar_t nt_path[MAX_PATH + 8];
  if (swprintf(nt_path, MAX_PATH + 8, L"\\??\\%ls", path) < 0) return ERROR_FILENAME_EXCED_RANGE;
  local_block<void> descriptor(private_folder_descriptor());
  if (!descriptor) return ERROR_INVALID_SECURITY_DESCR;
  UNICODE_STRING name;
  RtlInitUnicodeString(&name, nt_path);
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &name, OBJ_CASE_INSENSITIVE, nullptr, descriptor.get());
  IO_STATUS_BLOCK status_block;
  HANDLE folder = nullptr;
  // Read and write sharing only: without delete sharing nobody can rename it away while held.
  NTSTATUS status = NtCreateFile(&folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &object,
                                 &status_block, nullptr, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 FILE_CREATE, FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT |
                                 FILE_OPEN_REPARSE_POINT, nullptr, 0);
  if (!NT_SUCCESS(status)) return RtlNtStatusToDosError(status);
  *held = folder;
  return ERROR_SUCCESS;
}

DWORD private_folder_create(const wchar_t* path) {
  kernel_handle held;
  return private_folder_create_held(path, held.receive());
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

int private_subfolder(const char* name, char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  if (private_file_path(name, out, size) == 0 && utf8_to_wide(out, wide, MAX_PATH) == 0) {
    DWORD error = private_folder_create(wide);
    if (error == ERROR_SUCCESS) return 0;
    log_warn("Could not create the folder %s in the private working folder (err=%lu)", out, error);
  }
  if (size) out[0] = '\0';
  return -1;
}

void private_folder_remove() {
  AcquireSRWLockExclusive(&g_lock);
  if (g_path[0]) {
    g_held.reset();
    char folder[MAX_PATH];
    text_copy(folder, g_path);
    folder[strlen(folder) - 1] = '\0';  // delete_tree takes the folder without its backslash
    delete_tree_force(folder);
    // What is still in use (the WebView2 loader a screen loaded, a running staged copy) keeps
    // it until it is free; it then goes at the next restart. That is the normal end of a run
    // with a screen, so only what cannot even be left to the restart is a warning.
    if (delete_tree_at_restart(folder, "Private working folder") == restart_removal::nothing_left)
      log_info("Removed private working folder: %s", folder);
    g_path[0] = '\0';
  }
  ReleaseSRWLockExclusive(&g_lock);
}
