// The walk works on handles, not on paths: each entry is opened without following a link
// (FILE_FLAG_OPEN_REPARSE_POINT, folders with backup semantics), what it is is read from that
// handle, a folder is listed through its handle, and everything is deleted through its handle
// (FileDispositionInfo). A subfolder another process swaps for a junction after its parent
// was listed is therefore opened as the junction and removed as a link; its target is never
// entered. Folders are held without delete sharing while the walk is inside them, so nothing
// on the path of an entry can be renamed away meanwhile. An entry whose handle does not lie
// where its name says (Wine follows links despite the flag) is left alone.
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

namespace {

constexpr DWORD FINAL_PATH_MAX = MAX_PATH * 2;
constexpr DWORD LISTING_BYTES = 16 * 1024;

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

HANDLE open_entry(const wchar_t* path) {
  return CreateFileW(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

void remove_opened(HANDLE entry, const wchar_t* path, DWORD attributes, int force);

// Lists the held folder through its handle and removes each entry.
void empty_folder(HANDLE folder, const wchar_t* path, int force) {
  wchar_t folder_final[FINAL_PATH_MAX];
  if (!handle_final_path(folder, folder_final, FINAL_PATH_MAX)) return;
  auto* buffer = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, LISTING_BYTES));
  if (!buffer) return;
  FILE_INFO_BY_HANDLE_CLASS next = FileFullDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, next, buffer, LISTING_BYTES)) {
    next = FileFullDirectoryInfo;
    for (BYTE* at = buffer;;) {
      auto* listed = reinterpret_cast<FILE_FULL_DIR_INFO*>(at);
      wchar_t name[MAX_PATH], child[MAX_PATH];
      size_t length = listed->FileNameLength / sizeof(wchar_t);
      if (length < MAX_PATH) {
        wmemcpy(name, listed->FileName, length);
        name[length] = L'\0';
        if (wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0 && join_wide(path, name, child)) {
          if (delete_tree_after_listing) delete_tree_after_listing(child);
          scoped_handle entry(open_entry(child));
          if (!entry.valid()) {
            // In use or gone: it stays, and so does this folder.
          } else if (!handle_is_entry_of(entry.handle, folder_final, name)) {
            char text[MAX_PATH * 3];
            wide_to_utf8(child, text, sizeof text);
            log_warn("Not deleted: %s leads out of the folder being removed", text);
          } else {
            remove_opened(entry.handle, child, opened_attributes(entry.handle), force);
          }
        }
      }
      if (!listed->NextEntryOffset) break;
      at += listed->NextEntryOffset;
    }
  }
  HeapFree(GetProcessHeap(), 0, buffer);
}

void remove_opened(HANDLE entry, const wchar_t* path, DWORD attributes, int force) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  switch (classify_tree_entry(attributes)) {
    case TREE_ENTER_FOLDER:
      empty_folder(entry, path, force);
      break;
    case TREE_DELETE_FILE:
      if (force && (attributes & FILE_ATTRIBUTE_READONLY)) clear_read_only(entry);
      break;
    case TREE_REMOVE_FOLDER_LINK:
    case TREE_DELETE_FILE_LINK:
      break;  // opened without following it: this handle is the link itself
  }
  delete_through(entry);
}

// The folder the caller names, opened like any entry; a link given as the folder is removed
// as a link, a file is not a folder to clean.
void delete_tree_at(const char* path, int force) {
  wchar_t wide[MAX_PATH];
  if (!path || utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return;
  scoped_handle root(open_entry(wide));
  if (!root.valid()) return;
  DWORD attributes = opened_attributes(root.handle);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  if (!handle_is_at_path(root.handle, wide)) {
    log_warn("Not deleted: %s leads elsewhere", path);
    return;
  }
  remove_opened(root.handle, wide, attributes, force);
}

}  // namespace

void delete_tree(const char* path) { delete_tree_at(path, 0); }

void delete_tree_force(const char* path) { delete_tree_at(path, 1); }

int delete_file_no_follow(const char* path) {
  wchar_t wide[MAX_PATH];
  if (!path || utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return 0;
  int gone = 0;
  {
    scoped_handle entry(open_entry(wide));
    DWORD attributes = entry.valid() ? opened_attributes(entry.handle) : INVALID_FILE_ATTRIBUTES;
    // A folder is not a file; a link is removed itself; an entry reached elsewhere stays.
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (classify_tree_entry(attributes) == TREE_ENTER_FOLDER) || !handle_is_at_path(entry.handle, wide))
      return 0;
    FILE_DISPOSITION_INFO remove = {TRUE};
    gone = SetFileInformationByHandle(entry.handle, FileDispositionInfo, &remove, sizeof remove);
  }
  return gone;
}
