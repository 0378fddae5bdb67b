#include "acquire/package_name.h"

#include <cstring>

#include "base/bounded_text.h"
#include "product/vendor_domain.h"

namespace {

// "a.b.c" (digits only, three non-empty groups) gains ".0"; everything else stays as it is.
bool is_three_part_version(const char* v) {
  int dots = 0;
  size_t group = 0;
  for (const char* p = v; *p; ++p) {
    if (*p == '.') {
      if (group == 0 || dots == 2) return false;
      ++dots;
      group = 0;
    } else if (*p >= '0' && *p <= '9') {
      ++group;
    } else {
      return false;
    }
  }
  return dots == 2 && group > 0;
}

}  // namespace

void installer_package_name(const char* architecture, const char* version, char* out, size_t size) {
  int arm = text_equal_nocase(architecture, "ARM64");
  if (!version || !*version) {
    text_copy(out, size, arm ? "Corvane-Installer-win-arm64-latest.msi" : "Corvane-Installer-win-x64-latest.msi");
    return;
  }
  char normal[PACKAGE_NAME_SIZE];
  if (strlen(version) <= 125 && is_three_part_version(version))
    text_format(normal, sizeof normal, "%s.0", version);
  else
    text_copy(normal, version);
  if (normal[0] == '1')
    text_format(out, size, arm ? "Corvane-Installer-ARM-%s.msi" : "Corvane-Installer-%s.msi", normal);
  else
    text_format(out, size, arm ? "Corvane-Installer-win-arm64-%s.msi" : "Corvane-Installer-win-x64-%s.msi", normal);
}

void package_zip_name(const char* msi_name, char* out, size_t size) {
  text_copy(out, size, msi_name);
  size_t len = strlen(out);
  if (len > 4 && strcmp(out + len - 4, ".msi") == 0) memcpy(out + len - 3, "zip", 3);
}

int package_attempt_plan(const char* host_prefix, const char* attributed_domain, const char* msi_name, int msi_only,
                         package_attempt attempts[PACKAGE_MAX_ATTEMPTS]) {
  static const char* const schemes[2] = {"https", "http"};
  const char* domains[VENDOR_DOMAIN_COUNT];
  download_domain_order(attributed_domain, domains);
  char zip_name[PACKAGE_NAME_SIZE];
  package_zip_name(msi_name, zip_name, sizeof zip_name);
  int n = 0;
  for (int s = 0; s < 2; ++s) {
    for (int h = 0; h < VENDOR_DOMAIN_COUNT; ++h) {
      for (int form = msi_only ? 1 : 0; form < 2; ++form) {
        package_attempt& a = attempts[n++];
        a.is_zip = form == 0;
        a.label = a.is_zip ? "zip" : "msi";
        a.is_last = 0;
        text_format(a.url, sizeof a.url, "%s://%supdate-dl.%s/%s", schemes[s], host_prefix ? host_prefix : "",
                    domains[h], a.is_zip ? zip_name : msi_name);
      }
    }
  }
  attempts[n - 1].is_last = 1;
  return n;
}
