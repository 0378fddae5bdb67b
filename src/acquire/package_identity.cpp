#include "acquire/package_identity.h"

#include <cstdint>

#include "base/bounded_text.h"

namespace {

constexpr int VERSION_FIELDS = 4;

// 0 with fields filled (missing ones 0); -1 when text is not a version.
int parse_version(const char* text, uint32_t fields[VERSION_FIELDS]) {
  if (!text) return -1;
  for (int i = 0; i < VERSION_FIELDS; ++i) fields[i] = 0;
  int field = 0, digits = 0;
  for (const char* c = text;; ++c) {
    if (*c >= '0' && *c <= '9') {
      if (++digits > 9) return -1;
      fields[field] = fields[field] * 10 + static_cast<uint32_t>(*c - '0');
    } else if ((*c == '.' || *c == '\0') && digits > 0) {
      if (*c == '\0') return 0;
      if (++field == VERSION_FIELDS) return -1;
      digits = 0;
    } else {
      return -1;
    }
  }
}

}  // namespace

version_order package_version_compare(const char* a, const char* b) {
  uint32_t left[VERSION_FIELDS], right[VERSION_FIELDS];
  if (parse_version(a, left) != 0 || parse_version(b, right) != 0) return version_order::unreadable;
  for (int i = 0; i < VERSION_FIELDS; ++i)
    if (left[i] != right[i]) return left[i] < right[i] ? version_order::older : version_order::newer;
  return version_order::same;
}

const char* package_identity_refusal(const char* upgrade_code, const char* version, const char* expected_code,
                                     const char* floor, char* reason, size_t size) {
  if (!upgrade_code || !text_equal_nocase(upgrade_code, expected_code)) {
    text_format(reason, size, "UpgradeCode %s is not this product's %s", upgrade_code ? upgrade_code : "(none)",
                expected_code);
    return reason;
  }
  if (package_version_compare(version, "0") == version_order::unreadable) {
    text_format(reason, size, "ProductVersion \"%s\" is not a version", version ? version : "(none)");
    return reason;
  }
  version_order order = package_version_compare(version, floor);
  if (order == version_order::unreadable) {  // a build with a broken floor installs nothing rather than anything
    text_format(reason, size, "this build's minimum version \"%s\" is not a version", floor);
    return reason;
  }
  if (order == version_order::older) {
    text_format(reason, size, "ProductVersion %s is below this build's minimum %s", version, floor);
    return reason;
  }
  return nullptr;
}
