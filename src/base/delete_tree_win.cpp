#include "base/delete_tree.h"

#include <windows.h>

#include <cwchar>

#include "base/log.h"
#include "base/wide_win.h"

namespace {

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

void walk_folder(const wchar_t* folder, int force);

void remove_entry(const wchar_t* path, DWORD attributes, int force) {
  switch (classify_tree_entry(attributes)) {
    case TREE_ENTER_FOLDER:
      walk_folder(path, force);
      break;
    case TREE_DELETE_FILE:
      if (force) SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path);
      break;
    case TREE_REMOVE_FOLDER_LINK:
      RemoveDirectoryW(path);
      break;
    case TREE_DELETE_FILE_LINK:
      DeleteFileW(path);
      break;
  }
}

void walk_folder(const wchar_t* folder, int force) {
  wchar_t pattern[MAX_PATH];
  if (join_wide(folder, L"*", pattern)) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
        wchar_t child[MAX_PATH];
        if (join_wide(folder, found.cFileName, child)) remove_entry(child, found.dwFileAttributes, force);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
  }
  RemoveDirectoryW(folder);
}

void delete_tree_at(const char* path, int force) {
  wchar_t wide[MAX_PATH];
  if (!path || utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return;
  DWORD attributes = GetFileAttributesW(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  remove_entry(wide, attributes, force);
}

}  // namespace

void delete_tree(const char* path) { delete_tree_at(path, 0); }

void delete_tree_force(const char* path) { delete_tree_at(path, 1); }
