#include <gtest/gtest.h>

#include <string>

#include "consent/consent_info.h"
#include "json_check.h"

namespace {

consent_info_values fresh_install() {
  consent_info_values v = {};
  v.host_prefix = "";
  v.host_domain = "";
  v.existing_version = "";
  v.analytics_enabled = 1;
  return v;
}

}  // namespace

TEST(ConsentInfo, RegistryTextsAreEscapedIntoValidJson) {
  consent_info_values v = fresh_install();
  v.has_existing_install = 1;
  v.existing_version = "2.1\"},\"is_elevated\":true,\"x\":\"\\\x01";  // a version crafted to add members
  v.host_prefix = "stage-";
  v.host_domain = "corvane.net";
  char out[CONSENT_INFO_SIZE];
  ASSERT_EQ(consent_info_json(v, out, sizeof out), 0);
  flat_json parsed = parse_flat_json(out);
  ASSERT_TRUE(parsed.valid) << out;
  EXPECT_EQ(parsed.values["existing_version"], "2.1\"},\"is_elevated\":true,\"x\":\"\\\x01");
  EXPECT_EQ(parsed.values["is_elevated"], "false");
  EXPECT_EQ(parsed.values["has_existing_install"], "true");
  EXPECT_EQ(parsed.values["has_c_installer"], "false");
  EXPECT_EQ(parsed.values["host_prefix"], "stage-");
  EXPECT_EQ(parsed.keys.size(), 12u);

  std::string longest(63, '"');  // the probe's field at its longest, every byte escaped
  v.existing_version = longest.c_str();
  EXPECT_EQ(consent_info_json(v, out, sizeof out), 0);
  EXPECT_TRUE(parse_flat_json(out).valid);
}

TEST(ConsentInfo, AnObjectThatDoesNotFitIsNotSentCut) {
  char small[64];
  EXPECT_EQ(consent_info_json(fresh_install(), small, sizeof small), -1);
  EXPECT_STREQ(small, "");
}

TEST(ConsentInfo, ClickExtrasOfBothScreens) {
  char out[256];
  consent_click_choices page = {0, 1, 0, 1, 1};
  consent_click_extras(page, 0, out, sizeof out);
  EXPECT_STREQ(out, ",\"decrypt_https\":false,\"uninstall_existing\":true,\"is_uninstall\":false,\"is_elevated\":true,"
                    "\"analytics_enabled\":true");
  consent_click_extras(page, 1, out, sizeof out);  // the native window consents to HTTPS filtering
  EXPECT_STREQ(out, ",\"decrypt_https\":true,\"uninstall_existing\":true,\"is_uninstall\":false,\"is_elevated\":true,"
                    "\"analytics_enabled\":true,\"native_fallback\":true");
  EXPECT_TRUE(parse_flat_json("{\"a\":1" + std::string(out) + "}").valid);
}
