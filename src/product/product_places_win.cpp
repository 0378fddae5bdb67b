#include "product/product_places_win.h"

#include <windows.h>

#include "base/folders_win.h"
#include "base/path_text.h"
#include "base/reg_view_win.h"
#include "product/product.h"

int product_install_dir(char* out, size_t size) {
  char program_files[MAX_PATH];
  if (program_files_dir(program_files, sizeof program_files) != 0 ||
      join_path(program_files, PRODUCT_INSTALL_SUBDIR, out, size) != 0) {
    if (size) out[0] = '\0';
    return -1;
  }
  return 0;
}

void reg_write_once_hklm(const char* name, const char* text) {
  if (!text || !*text) return;
  char existing[8];
  if (reg_found_text(
          reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, existing, sizeof existing)) &&
      existing[0])
    return;
  reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, text);
}
