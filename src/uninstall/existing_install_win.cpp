// STAND-IN until the existing-install probe exists: reports nothing installed, which
// makes the entry skip every removal decision.
#include <cstring>

#include "uninstall/existing_install.h"

int probe_existing_install(existing_install_probe* probe) {
  memset(probe, 0, sizeof *probe);
  return 0;
}
