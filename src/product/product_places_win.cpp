#include "product/product_places_win.h"

#include "base/folders_win.h"
#include "base/path_text.h"
#include "base/registry_win.h"
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

int reg_read_product_string(HKEY root, const char* name, char* out, size_t size) {
  return reg_read_string(root, PRODUCT_REG_KEY, name, out, size);
}

void reg_write_once_hklm(const char* name, const char* text) {
  if (!text || !*text) return;
  char existing[8];
  if (reg_read_product_string(HKEY_LOCAL_MACHINE, name, existing, sizeof existing) == 0 && existing[0]) return;
  reg_write_string(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, name, text);
}
