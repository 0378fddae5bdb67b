#include <windows.h>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/path_text.h"
#include "base/product.h"
#include "state/paths.h"

int product_install_dir(char* out, size_t size) {
  char program_files[MAX_PATH];
  if (program_files_dir(program_files, sizeof program_files) != 0 ||
      join_path(program_files, PRODUCT_INSTALL_SUBDIR, out, size) != 0) {
    if (size) out[0] = '\0';
    return -1;
  }
  return 0;
}

int running_from_install_dir() {
  char install[MAX_PATH], exe[MAX_PATH];
  if (product_install_dir(install, sizeof install) != 0 || module_path(exe, sizeof exe) != 0) return 0;
  return path_in_folder(exe, install);
}
