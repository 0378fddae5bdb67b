// Which signed package may be installed: this product, no older than the floor.
#include <gtest/gtest.h>

#include "acquire/package_identity.h"

namespace {

constexpr const char* CODE = "{ECAF655A-F350-4895-B82D-5F8990E4AECB}";

TEST(PackageVersionCompare, FieldByFieldAsNumbers) {
  struct row {
    const char* a;
    const char* b;
    version_order order;
  };
  constexpr version_order older = version_order::older, same = version_order::same, newer = version_order::newer,
                          unreadable = version_order::unreadable;
  const row rows[] = {
      {"2.1.7.0", "2.0", newer},     {"2.0", "2.0.0.0", same},     {"1.9.9", "2.0", older},
      {"2.10", "2.9", newer},        {"0", "0.0.0.1", older},      {"2.0.", "2.0", unreadable},
      {".2", "2", unreadable},       {"2..0", "2", unreadable},    {"1.2.3.4.5", "1", unreadable},
      {"2.0-beta", "2", unreadable}, {"", "0", unreadable},        {nullptr, "0", unreadable},
      {"1234567890", "0", unreadable}, {"999999999.0", "0", newer},
  };
  for (const row& r : rows) EXPECT_EQ(package_version_compare(r.a, r.b), r.order) << (r.a ? r.a : "(null)") << " " << r.b;
}

TEST(PackageIdentity, OnlyTheProductAtOrAboveTheFloor) {
  char reason[256];
  EXPECT_EQ(package_identity_refusal("{ecaf655a-f350-4895-b82d-5f8990e4aecb}", "2.1.7.0", CODE, "2.0", reason, sizeof reason),
            nullptr);
  EXPECT_EQ(package_identity_refusal(CODE, "1.0.0.0", CODE, "0", reason, sizeof reason), nullptr);

  EXPECT_STREQ(package_identity_refusal("{0B8A09F1-3DBC-4AA7-B230-CD80568AF116}", "2.1.7.0", CODE, "2.0", reason,
                                        sizeof reason),
               "UpgradeCode {0B8A09F1-3DBC-4AA7-B230-CD80568AF116} is not this product's "
               "{ECAF655A-F350-4895-B82D-5F8990E4AECB}");
  EXPECT_STREQ(package_identity_refusal(CODE, "1.9.0.0", CODE, "2.0", reason, sizeof reason),
               "ProductVersion 1.9.0.0 is below this build's minimum 2.0");
  EXPECT_STREQ(package_identity_refusal(CODE, "2.x", CODE, "0", reason, sizeof reason),
               "ProductVersion \"2.x\" is not a version");
  EXPECT_STREQ(package_identity_refusal(CODE, "2.1", CODE, "", reason, sizeof reason),
               "this build's minimum version \"\" is not a version");
}

}  // namespace
