#include <windows.h>

#include "base/folders_win.h"
#include "base/path_text.h"
#include "product/product_places_win.h"
#include "state/paths.h"

bool running_from_install_dir() {
  char install[MAX_PATH], exe[MAX_PATH];
  if (product_install_dir(install, sizeof install) != 0 || module_path(exe, sizeof exe) != 0) return false;
  return path_in_folder(exe, install);
}
