// What the consent screens tell the page and telemetry (pure): the consent-info object the page
// reads first, and the click event's consent choices.
#pragma once

#include <cstddef>

struct consent_info_values {
  int dry_run;
  const char* host_prefix;  // "", "dev-" or "stage-"
  const char* host_domain;  // a vendor-domain variant from the Mark of the Web, or ""
  int is_uninstall;
  int is_elevated;
  int analytics_enabled;
  int has_existing_install;  // existing_install_found
  int has_c_installer;       // its own Add/Remove Programs entry among them
  const char* existing_version;  // from the registry: anything at all
  int uninstall_existing;
  int nothing_to_uninstall;
};

// Room for the object with every text at its longest escaped length.
constexpr size_t CONSENT_INFO_SIZE = 1024;

// The object get_consent_info and toggle_dry_run answer with. Texts are escaped, so the page
// gets valid JSON whatever the registry holds. 0, or -1 with out emptied when it does not fit.
int consent_info_json(const consent_info_values& values, char* out, size_t size);

// The consent choices a click event carries after its click element and page name. The native
// window's click always consents to HTTPS filtering and says it was the fallback.
struct consent_click_choices {
  int decrypt_https;
  int uninstall_existing;
  int is_uninstall;
  int is_elevated;
  int analytics_enabled;
};
void consent_click_extras(const consent_click_choices& choices, int native_fallback, char* out, size_t size);
