#include "base/private_folder.h"

#include "base/bounded_text.h"
#include "base/run_folders.h"

int private_folder_sddl(const char* user_sid, char* out, size_t size) {
  return run_folder_sddl(run_folder::run_private, user_sid, out, size);
}

int private_folder_name(const uint8_t random[PRIVATE_FOLDER_RANDOM_BYTES], char* out, size_t size) {
  if (!text_copy(out, size, "Corvane-")) return -1;
  for (size_t i = 0; i < PRIVATE_FOLDER_RANDOM_BYTES; ++i) {
    char pair[3];
    text_format(pair, sizeof pair, "%02x", random[i]);
    if (!text_append(out, size, pair)) return -1;
  }
  return 0;
}
