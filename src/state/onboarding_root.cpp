#include "state/onboarding_root.h"

#include <cstring>

#include "base/bounded_text.h"
#include "product/product.h"

namespace {

constexpr char LOCAL_SYSTEM_SID[] = "S-1-5-18";
constexpr char ONBOARDING_SUBKEY[] = PRODUCT_ONBOARDING_KEY;

bool is_local_system(const char* sid) { return sid && strcmp(sid, LOCAL_SYSTEM_SID) == 0; }

}  // namespace

void onboarding_root_plan(const char* process_sid, const char* console_sid, onboarding_root* out) {
  memset(out, 0, sizeof *out);
  if (!is_local_system(process_sid)) {
    out->kind = ONBOARDING_ROOT_HKCU;
    text_copy(out->subkey, ONBOARDING_SUBKEY);
    text_copy(out->label, "HKCU");
  } else if (console_sid && *console_sid && !is_local_system(console_sid) && strlen(console_sid) < SID_TEXT_BUFFER) {
    out->kind = ONBOARDING_ROOT_USERS;
    text_copy(out->console_sid, console_sid);
    text_format(out->subkey, sizeof out->subkey, "%s\\%s", console_sid, ONBOARDING_SUBKEY);
    text_format(out->label, sizeof out->label, "HKEY_USERS\\%s", console_sid);
  } else {
    out->kind = ONBOARDING_ROOT_HKLM;
    text_copy(out->subkey, ONBOARDING_SUBKEY);
    text_copy(out->label, "HKLM");
  }
  text_format(out->browsers_subkey, sizeof out->browsers_subkey, "%s\\Browsers", out->subkey);
  text_format(out->filters_subkey, sizeof out->filters_subkey, "%s\\Filters", out->subkey);
}
