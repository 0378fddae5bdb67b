#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "state/install_state_rules.h"

namespace {

std::string normalised(const char* version) {
  char field[64];
  strncpy(field, version, sizeof field - 1);
  field[sizeof field - 1] = '\0';
  normalise_app_version(field, sizeof field);
  return field;
}

std::string prefix_for(const char* start, const char* exe) {
  char field[64];
  strcpy(field, start);
  apply_build_host_prefix(field, sizeof field, exe);
  return field;
}

}  // namespace

TEST(InstallStateTag, FieldsTakenByKeyAndBoundedByTheirSize) {
  static install_state state;
  memset(&state, 0, sizeof state);
  strcpy(state.gclid, "from-before");
  std::string long_value(300, 'u');
  std::string decoded = "{\"app_version\":\"2.0.266\",\"host_prefix\":\"local-\",\"utm_source\":\"x\","
                        "\"auto_install\":\"0123456789abcdefXYZ\",\"user_id\":\"uid\",\"user_date\":\"20250101\","
                        "\"utm_term\":\"" + long_value + "\",\"browser_name\":\"" + long_value + "\"}";
  attribution_refusals refused{};
  install_state_apply_tag(&state, decoded.c_str(), &refused);
  EXPECT_EQ(refused.count, 0);
  EXPECT_STREQ(state.app_version, "2.0.266");
  EXPECT_STREQ(state.host_prefix, "local-");
  EXPECT_STREQ(state.utm_source, "x");
  EXPECT_STREQ(state.auto_install, "0123456789abcde");  // 16-byte field
  EXPECT_EQ(std::string(state.utm_term), long_value.substr(0, 255));
  EXPECT_EQ(std::string(state.browser_name), long_value.substr(0, 63));
  EXPECT_STREQ(state.user_id, "uid");
  EXPECT_STREQ(state.user_date, "20250101");
  EXPECT_STREQ(state.gclid, "from-before");  // absent keys leave fields alone
  EXPECT_STREQ(state.browser_version, "");
  EXPECT_STREQ(state.utm_medium, "");
}

// A re-tagged download: the tag lies outside what the signature covers, so its host prefix
// and version could name any host or path. Both are refused, the rest of the tag still counts.
TEST(InstallStateTag, HostileHostPrefixAndVersionAreRefused) {
  static install_state state;
  memset(&state, 0, sizeof state);
  attribution_refusals refused{};
  install_state_apply_tag(&state, "{\"host_prefix\":\"evil.example/x?\",\"app_version\":\"1\\..\\..\\X\","
                                   "\"utm_source\":\"kept\"}", &refused);
  EXPECT_STREQ(state.host_prefix, "");
  EXPECT_STREQ(state.app_version, "");
  EXPECT_STREQ(state.utm_source, "kept");
  ASSERT_EQ(refused.count, 2);
  EXPECT_STREQ(refused.items[0].key, "app_version");
  EXPECT_STREQ(refused.items[1].key, "host_prefix");
  EXPECT_STREQ(refused.items[1].value, "evil.example/x?");
  // A long run of digits would fit once cut to the field: it is judged whole and refused.
  memset(&state, 0, sizeof state);
  refused = {};
  std::string digits(100, '7');
  install_state_apply_tag(&state, ("{\"app_version\":\"" + digits + "\"}").c_str(), &refused);
  EXPECT_STREQ(state.app_version, "");
  EXPECT_EQ(refused.count, 1);
}

TEST(AttributionValues, OnlyTheFormsTheVendorIssues) {
  struct {
    const char* value;
    int host_prefix;
    int app_version;
  } const rows[] = {
      {"", 1, 0},          {"dev-", 1, 0},        {"stage-", 1, 0},      {"local-", 1, 0},
      {"DEV-", 0, 0},      {"beta-", 0, 0},       {"dev", 0, 0},         {"evil.example/x?", 0, 0},
      {"2.1.7", 0, 1},     {"2.1.7.0", 0, 1},     {"10", 0, 1},          {"2.1.7-beta", 0, 0},
      {"1\\..\\X", 0, 0}, {"1/../X", 0, 0},      {" 2.1", 0, 0},        {"2.1\n", 0, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(host_prefix_acceptable(row.value), row.host_prefix) << row.value;
    EXPECT_EQ(app_version_acceptable(row.value, 64), row.app_version) << row.value;
  }
  std::string longest(63, '1');
  EXPECT_EQ(app_version_acceptable(longest.c_str(), 64), 1);
  EXPECT_EQ(app_version_acceptable((longest + "1").c_str(), 64), 0);  // would be cut
  EXPECT_EQ(host_prefix_acceptable(nullptr), 0);
  EXPECT_EQ(app_version_acceptable(nullptr, 64), 0);
  EXPECT_EQ(attribution_value_accepted("utm_source", "evil.example/x?", 256, nullptr), 1);  // not guarded
}

TEST(AttributionValues, RefusedValueIsEscapedAndBoundedForTheLog) {
  char out[REFUSED_VALUE_TEXT];
  refused_value_text("a\"b\\c\x01\xC3\xA9", out, sizeof out);
  EXPECT_STREQ(out, "a\\x22b\\x5Cc\\x01\\xC3\\xA9");
  refused_value_text(std::string(200, 'x').c_str(), out, sizeof out);
  EXPECT_EQ(std::string(out), std::string(48, 'x') + "...");
  refused_value_text(std::string(200, '\x7F').c_str(), out, sizeof out);
  std::string text(out);
  EXPECT_EQ(text.size() % 4, 3u);  // whole escapes, then "..."
  EXPECT_EQ(text.substr(text.size() - 3), "...");
  EXPECT_LT(text.size(), sizeof out);
}

TEST(InstallStateTag, VersionGetsItsFourthPartOnlyFromThreeParts) {
  EXPECT_EQ(normalised("2.0.266"), "2.0.266.0");
  EXPECT_EQ(normalised("2.0"), "2.0");
  EXPECT_EQ(normalised("2.0.266.0"), "2.0.266.0");
  EXPECT_EQ(normalised(""), "");
  EXPECT_EQ(normalised("1..2"), "1..2.0");
  std::string at_limit = "1.2." + std::string(57, '3');  // 61 characters
  EXPECT_EQ(normalised(at_limit.c_str()), at_limit + ".0");
  std::string over = "1.2." + std::string(58, '3');
  EXPECT_EQ(normalised(over.c_str()), over);
}

TEST(InstallStateTag, HostPrefixFromTagRegistryOrBuildName) {
  EXPECT_EQ(prefix_for("local-", "C:\\d\\CorvaneSetup.exe"), "dev-");
  EXPECT_EQ(prefix_for("local-", "C:\\d\\CorvaneSetup-stage.exe"), "dev-");
  EXPECT_EQ(prefix_for("stage-", "C:\\d\\CorvaneSetup-dev.exe"), "stage-");
  EXPECT_EQ(prefix_for("", "C:\\d\\CorvaneSetup-Dev.EXE"), "dev-");
  EXPECT_EQ(prefix_for("", "C:\\d\\CorvaneSetup-stage.exe"), "stage-");
  EXPECT_EQ(prefix_for("", "C:\\d\\CorvaneSetup.exe"), "");
}

TEST(InstallStateTag, InternalMachineFlag) {
  EXPECT_EQ(is_internal_flag("0", 1), 0);  // the variable wins over the registry
  EXPECT_EQ(is_internal_flag("1", 0), 1);
  EXPECT_EQ(is_internal_flag("no", 0), 1);  // any value but "0" means internal
  EXPECT_EQ(is_internal_flag(nullptr, 1), 1);
  EXPECT_EQ(is_internal_flag(nullptr, 0), 0);
}

TEST(HostPrefix, FromFileName) {
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-dev.exe"), "dev-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-DEV.EXE"), "dev-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-stage.exe"), "stage-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\dev-\\CorvaneSetup.exe"), "");
  EXPECT_STREQ(host_prefix_from_exe_name("C:/d/-dev.exe"), "dev-");  // the bare suffix is a name too
  EXPECT_STREQ(host_prefix_from_exe_name("-stage.exe"), "stage-");
  EXPECT_STREQ(host_prefix_from_exe_name("CorvaneSetup-dev.exe.bak"), "");
}
