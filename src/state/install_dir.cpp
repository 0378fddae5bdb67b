#include "state/install_dir.h"

#include <cstring>

#include "app/bounded_text.h"
#include "app/log_format.h"

int path_in_folder(const char* file_path, const char* folder) {
  if (!file_path || !folder || !*folder) return 0;
  char dir[1024], base[1024];
  text_copy(dir, file_path);
  char* slash = strrchr(dir, '\\');
  if (!slash) return 0;
  *slash = '\0';
  text_copy(base, folder);
  size_t n = strlen(base);
  while (n > 0 && base[n - 1] == '\\') base[--n] = '\0';
  if (n == 0) return 0;
  size_t d = strlen(dir);
  if (d < n) return 0;
  char saved = dir[n];
  dir[n] = '\0';
  int same_prefix = text_equal_nocase(dir, base);
  dir[n] = saved;
  return same_prefix && (saved == '\0' || saved == '\\');
}

const char* host_prefix_from_exe_name(const char* exe_path) {
  char name[260];
  text_copy(name, log_base_name(exe_path));
  text_lower_ascii(name);
  size_t len = strlen(name);
  if (len > 7 && text_ends_with_nocase(name, "-dev.exe")) return "dev-";
  if (len > 9 && text_ends_with_nocase(name, "-stage.exe")) return "stage-";
  return "";
}
