#include "base/private_folder.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

// Full control for a trustee, inherited by files (OI) and folders (CI) below.
constexpr const char* FULL_CONTROL_ACE = "(A;OICI;FA;;;%s)";

int is_sid_text(const char* sid) {
  if (strncmp(sid, "S-1-", 4) != 0 || !sid[4]) return 0;
  for (const char* c = sid + 4; *c; ++c)
    if (!((*c >= '0' && *c <= '9') || (*c == '-' && c[1] && c[1] != '-'))) return 0;
  return 1;
}

int append_ace(char* out, size_t size, const char* trustee) {
  char ace[128];
  return text_format(ace, sizeof ace, FULL_CONTROL_ACE, trustee) && text_append(out, size, ace);
}

}  // namespace

int private_folder_sddl(const char* user_sid, char* out, size_t size) {
  int whole = text_copy(out, size, "D:P") && append_ace(out, size, "SY") && append_ace(out, size, "BA");
  if (whole && user_sid) whole = is_sid_text(user_sid) && append_ace(out, size, user_sid);
  if (whole) return 0;
  if (size) out[0] = '\0';
  return -1;
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
