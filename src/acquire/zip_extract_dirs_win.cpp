#include <windows.h>

#include <cstring>

#include "acquire/zip_extract.h"
#include "acquire/zip_extract_rules.h"
#include "base/bounded_text.h"
#include "base/wide_win.h"

namespace {

void create_folder(const char* path) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) == 0) CreateDirectoryW(wide, nullptr);
}

}  // namespace

void make_directories(const char* path) {
  char copy[260];
  text_copy(copy, path);
  for (char* p = copy; *p; ++p) {
    if (*p == '/') *p = '\\';
  }
  size_t root = directory_root_length(copy);
  for (size_t i = root; copy[i]; ++i) {
    if (copy[i] != '\\' || i == 0 || copy[i - 1] == '\\') continue;
    copy[i] = '\0';
    create_folder(copy);
    copy[i] = '\\';
  }
  if (strlen(copy) > root) create_folder(copy);
}
