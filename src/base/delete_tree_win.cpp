// The walk works on handles, not on paths: each entry is opened without following a link
// (FILE_FLAG_OPEN_REPARSE_POINT, folders with backup semantics), what it is is read from that
// handle, a folder is listed through its handle, and everything is deleted through its handle
// (FileDispositionInfo). A subfolder another process swaps for a junction after its parent
// was listed is therefore opened as the junction and removed as a link; its target is never
// entered. Folders are held without delete sharing while the walk is inside them, so nothing
// on the path of an entry can be renamed away meanwhile. An entry whose handle does not lie
// where its name says (Wine follows links despite the flag) is left alone.
//
// The same walk leaves what could not be deleted to the next restart: it opens entries only
// to read what they are (so a file held without delete sharing can still be judged), and
// schedules each file and then its folder. Links are neither followed nor scheduled: whether
// the removal at boot would follow one is not documented.
#include "base/delete_tree.h"

#include <windows.h>

#include <cwchar>

#include "base/delete_tree_seam_win.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/opened_file_win.h"
#include "base/unlinked_file_win.h"
#include "base/wide_win.h"

void (*delete_tree_after_listing)(const wchar_t* entry_path) = nullptr;
void (*delete_tree_retry_wait)(unsigned long ms) = [](unsigned long ms) { Sleep(ms); };

namespace {

constexpr DWORD FINAL_PATH_MAX = MAX_PATH * 2;
constexpr DWORD LISTING_BYTES = 16 * 1024;
// Another process letting go of its files (the browser's processes end a moment after its
// window has closed): tries a quarter of a second apart, about two and a half seconds in all.
constexpr int PATIENT_TRIES = 10;
constexpr unsigned long PATIENT_WAIT_MS = 250;

enum class walk_mode { remove, remove_forced, schedule };

struct tree_walk {
  walk_mode mode;
  DWORD schedule_error;  // the first failure to schedule an entry; ERROR_SUCCESS while none
  int scheduled;         // entries left to the restart
};

// "<folder>\<name>" in MAX_PATH characters; 0 when it does not fit, because a cut path
// names some other file.
int join_wide(const wchar_t* folder, const wchar_t* name, wchar_t* out) {
  size_t a = wcslen(folder), b = wcslen(name);
  if (a + 1 + b >= MAX_PATH) return 0;
  wmemcpy(out, folder, a);
  out[a] = L'\\';
  wmemcpy(out + a + 1, name, b + 1);
  return 1;
}

HANDLE open_no_follow(const wchar_t* path, DWORD access, DWORD share) {
  return CreateFileW(path, access, share, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// To schedule an entry only its kind is read, and sharing everything; a file held without any
// sharing cannot even be listed, but its attributes can still be read.
HANDLE open_entry(const wchar_t* path, walk_mode mode) {
  if (mode != walk_mode::schedule)
    return open_no_follow(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE);
  constexpr DWORD ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE entry = open_no_follow(path, FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE, ALL);
  return entry != INVALID_HANDLE_VALUE ? entry : open_no_follow(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE, ALL);
}

void schedule_at_restart(const wchar_t* path, tree_walk* walk) {
  if (MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
    ++walk->scheduled;
  else if (walk->schedule_error == ERROR_SUCCESS)
    walk->schedule_error = GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
}

// Marks the entry for deletion; it goes when its handle closes (a folder only when empty).
void delete_through(HANDLE entry) {
  FILE_DISPOSITION_INFO remove = {TRUE};
  SetFileInformationByHandle(entry, FileDispositionInfo, &remove, sizeof remove);
}

void clear_read_only(HANDLE entry) {
  FILE_BASIC_INFO basic = {};  // zero times: left as they are
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
}

void remove_opened(HANDLE entry, const wchar_t* path, DWORD attributes, tree_walk* walk);

// Lists the held folder through its handle and removes (or schedules) each entry.
void empty_folder(HANDLE folder, const wchar_t* path, tree_walk* walk) {
  wchar_t folder_final[FINAL_PATH_MAX];
  if (!handle_final_path(folder, folder_final, FINAL_PATH_MAX)) return;
  heap_block<BYTE> buffer = heap_allocate<BYTE>(LISTING_BYTES);
  if (!buffer) return;
  FILE_INFO_BY_HANDLE_CLASS next = FileFullDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, next, buffer.get(), LISTING_BYTES)) {
    next = FileFullDirectoryInfo;
    for (BYTE* at = buffer.get();;) {
      auto* listed = reinterpret_cast<FILE_FULL_DIR_INFO*>(at);
      wchar_t name[MAX_PATH], child[MAX_PATH];
      size_t length = listed->FileNameLength / sizeof(wchar_t);
      if (length < MAX_PATH) {
        wmemcpy(name, listed->FileName, length);
        name[length] = L'\0';
        if (wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0 && join_wide(path, name, child)) {
          if (delete_tree_after_listing) delete_tree_after_listing(child);
          kernel_handle entry(open_entry(child, walk->mode));
          if (!entry.valid()) {
            // In use or gone: it stays, and so does this folder.
          } else if (!handle_is_entry_of(entry.get(), folder_final, name)) {
            char text[MAX_PATH * 3];
            wide_to_utf8(child, text, sizeof text);
            log_warn("Not deleted: %s leads out of the folder being removed", text);
          } else {
            remove_opened(entry.get(), child, opened_attributes(entry.get()), walk);
          }
        }
      }
      if (!listed->NextEntryOffset) break;
      at += listed->NextEntryOffset;
    }
  }
}

// What is left, files before their folders (the removal at boot takes them in that order).
void schedule_opened(HANDLE entry, const wchar_t* path, DWORD attributes, tree_walk* walk) {
  switch (classify_tree_entry(attributes)) {
    case TREE_ENTER_FOLDER:
      empty_folder(entry, path, walk);
      schedule_at_restart(path, walk);
      break;
    case TREE_DELETE_FILE:
      schedule_at_restart(path, walk);
      break;
    case TREE_REMOVE_FOLDER_LINK:
    case TREE_DELETE_FILE_LINK:
      break;
  }
}

void remove_opened(HANDLE entry, const wchar_t* path, DWORD attributes, tree_walk* walk) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (walk->mode == walk_mode::schedule) return schedule_opened(entry, path, attributes, walk);
  switch (classify_tree_entry(attributes)) {
    case TREE_ENTER_FOLDER:
      empty_folder(entry, path, walk);
      break;
    case TREE_DELETE_FILE:
      if (walk->mode == walk_mode::remove_forced && (attributes & FILE_ATTRIBUTE_READONLY)) clear_read_only(entry);
      break;
    case TREE_REMOVE_FOLDER_LINK:
    case TREE_DELETE_FILE_LINK:
      break;  // opened without following it: this handle is the link itself
  }
  delete_through(entry);
}

// The folder the caller names, opened like any entry; a link given as the folder is removed
// as a link, a file is not a folder to clean.
void delete_tree_at(const char* path, tree_walk* walk) {
  wchar_t wide[MAX_PATH];
  if (!path || utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return;
  kernel_handle root(open_entry(wide, walk->mode));
  if (!root.valid()) return;
  DWORD attributes = opened_attributes(root.get());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (!handle_is_at_path(root.get(), wide)) {
    log_warn("Not deleted: %s leads elsewhere", path);
    return;
  }
  remove_opened(root.get(), wide, attributes, walk);
}

bool still_there(const char* path) {
  wchar_t wide[MAX_PATH];
  return utf8_to_wide(path, wide, MAX_PATH) == 0 && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void delete_tree(const char* path) {
  tree_walk walk = {walk_mode::remove, ERROR_SUCCESS, 0};
  delete_tree_at(path, &walk);
}

void delete_tree_force(const char* path) {
  tree_walk walk = {walk_mode::remove_forced, ERROR_SUCCESS, 0};
  delete_tree_at(path, &walk);
}

bool delete_tree_force_patiently(const char* path) {
  for (int tries = 1;; ++tries) {
    delete_tree_force(path);
    if (!path || !still_there(path)) return true;
    if (tries == PATIENT_TRIES) return false;
    delete_tree_retry_wait(PATIENT_WAIT_MS);
  }
}

restart_removal delete_tree_at_restart(const char* path, const char* what) {
  if (!path || !still_there(path)) return restart_removal::nothing_left;
  tree_walk walk = {walk_mode::schedule, ERROR_SUCCESS, 0};
  delete_tree_at(path, &walk);
  // A folder that could not even be opened as itself (it leads elsewhere) scheduled nothing.
  if (walk.schedule_error == ERROR_SUCCESS && !walk.scheduled) walk.schedule_error = ERROR_CANT_ACCESS_FILE;
  if (walk.schedule_error == ERROR_SUCCESS) {
    log_info("%s still in use, to be removed at the next restart: %s", what, path);
    return restart_removal::scheduled;
  }
  log_warn("%s not removed (in use?) and not scheduled for removal (error %lu): %s", what, walk.schedule_error, path);
  return restart_removal::not_scheduled;
}

bool delete_file_no_follow(const char* path) {
  wchar_t wide[MAX_PATH];
  if (!path || utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return false;
  int gone = 0;
  {
    kernel_handle entry(open_entry(wide, walk_mode::remove));
    DWORD attributes = entry.valid() ? opened_attributes(entry.get()) : INVALID_FILE_ATTRIBUTES;
    // A folder is not a file; a link is removed itself; an entry reached elsewhere stays.
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (classify_tree_entry(attributes) == TREE_ENTER_FOLDER) || !handle_is_at_path(entry.get(), wide))
      return false;
    FILE_DISPOSITION_INFO remove = {TRUE};
    gone = SetFileInformationByHandle(entry.get(), FileDispositionInfo, &remove, sizeof remove);
  }
  return gone;
}
