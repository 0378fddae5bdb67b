#include "base/path_text.h"

#include <cstring>

#include "base/bounded_text.h"

const char* path_file_name(const char* path) {
  if (!path) return "";
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

int join_path(const char* folder, const char* name, char* out, size_t size) {
  return text_format(out, size, "%s\\%s", folder, name) ? 0 : -1;
}

void parent_directory(const char* path, char* out, size_t size) {
  if (!text_copy(out, size, path)) {
    if (size) out[0] = '\0';
    return;
  }
  char* cut = strrchr(out, '\\');
  if (!cut || cut == out) {
    out[0] = '\0';
    return;
  }
  *cut = '\0';
}

bool path_in_folder(const char* file_path, const char* folder) {
  if (!file_path || !folder || !*folder) return false;
  char dir[1024], base[1024];
  text_copy(dir, file_path);
  char* slash = strrchr(dir, '\\');
  if (!slash) return false;
  *slash = '\0';
  text_copy(base, folder);
  size_t n = strlen(base);
  while (n > 0 && base[n - 1] == '\\') base[--n] = '\0';
  if (n == 0) return false;
  size_t d = strlen(dir);
  if (d < n) return false;
  char saved = dir[n];
  dir[n] = '\0';
  int same_prefix = text_equal_nocase(dir, base);
  dir[n] = saved;
  return same_prefix && (saved == '\0' || saved == '\\');
}

bool is_uninstaller_path(const char* module_path) {
  if (!module_path) return false;
  char lowered[1024];
  text_copy(lowered, path_file_name(module_path));
  text_lower_ascii(lowered);
  return strstr(lowered, "uninstall") != nullptr;
}
