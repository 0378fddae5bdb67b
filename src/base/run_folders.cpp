#include "base/run_folders.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

// Rights in SDDL: full control, and the narrower grant spelled as its access mask
// (FILE_GENERIC_READ, FILE_GENERIC_EXECUTE, FILE_GENERIC_WRITE and DELETE).
constexpr const char* FULL_CONTROL = "FA";
constexpr const char* MODIFY = "0x1301bf";

bool is_sid_text(const char* sid) {
  if (strncmp(sid, "S-1-", 4) != 0 || !sid[4]) return false;
  for (const char* c = sid + 4; *c; ++c)
    if (!((*c >= '0' && *c <= '9') || (*c == '-' && c[1] && c[1] != '-'))) return false;
  return true;
}

// An allow entry inherited by files (OI) and folders (CI) below.
int append_ace(char* out, size_t size, const char* rights, const char* trustee) {
  char ace[128];
  return text_format(ace, sizeof ace, "(A;OICI;%s;;;%s)", rights, trustee) && text_append(out, size, ace);
}

// What the interactive user's entry grants.
const char* user_rights(run_folder kind) {
  if (kind == run_folder::browser_data) return MODIFY;
  return FULL_CONTROL;  // an unelevated run's own private folder
}

}  // namespace

int run_folder_sddl(run_folder kind, const char* user_sid, char* out, size_t size) {
  int whole = (user_sid || kind == run_folder::run_private) && text_copy(out, size, "D:P") &&
              append_ace(out, size, FULL_CONTROL, "SY") && append_ace(out, size, FULL_CONTROL, "BA");
  if (whole && user_sid) whole = is_sid_text(user_sid) && append_ace(out, size, user_rights(kind), user_sid);
  if (whole) return 0;
  if (size) out[0] = '\0';
  return -1;
}
