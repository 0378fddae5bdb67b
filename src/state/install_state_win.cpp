// install_state_init, as far as this build fills the record: paths, the host prefix a
// "-dev"/"-stage" file name implies, and the probes the OS gate needs. Identity,
// attribution and the remaining probes arrive with the install-state work.
#include <windows.h>

#include <cstring>

#include "app/bounded_text.h"
#include "app/product.h"
#include "app/wide_win.h"
#include "state/install_dir.h"
#include "state/install_state.h"
#include "state/os_probe.h"
#include "state/paths.h"

int install_state_init(install_state* state) {
  memset(state, 0, sizeof *state);
  state->msi_file_size_kb = -1;

  char program_files[MAX_PATH];
  if (program_files_dir(program_files, sizeof program_files) == 0)
    text_format(state->install_dir, sizeof state->install_dir, "%s\\%s", program_files, PRODUCT_INSTALL_SUBDIR);
  temp_folder(state->temp_dir, sizeof state->temp_dir);
  module_path(state->exe_path, sizeof state->exe_path);

  if (strcmp(state->host_prefix, "local-") == 0) text_copy(state->host_prefix, "dev-");
  if (!state->host_prefix[0]) text_copy(state->host_prefix, host_prefix_from_exe_name(state->exe_path));

  probe_os_version(state);
  probe_os_architecture(state);
  text_copy(state->is_elevated, is_process_elevated() ? "true" : "false");
  return 0;
}
