// The command line is outside input: every switch reader must survive any bytes, and the
// relaunch strings built from it must stay within their buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/switches.h"
#include "consent/relaunch_arguments.h"
#include "install/command_lines.h"
#include "state/tag_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string args(reinterpret_cast<const char*>(data), size);
  const char* text = args.c_str();  // stops at the first NUL, as the real command line does
  int silent = is_silent(text);
  int usage = usage_data_switch(text);
  if (silent != 0 && silent != 1) abort();
  if (usage < -1 || usage > 1) abort();
  consent_choices choices{dry_run_choice(text), uninstall_first_switch(text) == 1, decrypt_https_choice(text),
                          usage != 0};
  char relaunch[RELAUNCH_ARGUMENTS_SIZE];
  if (relaunch_arguments(choices, has_skip_welcome(text), relaunch, sizeof relaunch) != 0) abort();
  const char* own = command_line_arguments(text);
  if (own < text || own > text + strlen(text)) abort();
  char params[128];
  int fit = elevation_parameters(own, relaunch, params, sizeof params);
  if (fit == 0 ? strncmp(params, own, strlen(own)) != 0 : params[0] != '\0') abort();
  // Whatever the first process was given, the elevated copy reads the screen's choices.
  int existing = has_skip_welcome(text);
  if (fit == 0 && (dry_run_choice(params) != choices.dry_run || decrypt_https_choice(params) != choices.decrypt_https ||
                   uninstall_first_switch(params) != (existing && choices.uninstall_existing) ||
                   usage_data_switch(params) != choices.usage_data))
    abort();
  char command[96];
  preinstall_uninstaller_command(text, usage == 1, command, sizeof command);
  if (uninstall_first_preference(text) < -1) abort();
  return 0;
}
