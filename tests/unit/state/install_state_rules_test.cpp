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
  install_state_apply_tag(&state, decoded.c_str());
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
  EXPECT_STREQ(is_internal_text("0", 1), "false");  // the variable wins over the registry
  EXPECT_STREQ(is_internal_text("1", 0), "true");
  EXPECT_STREQ(is_internal_text("no", 0), "true");  // any value but "0" means internal
  EXPECT_STREQ(is_internal_text(nullptr, 1), "true");
  EXPECT_STREQ(is_internal_text(nullptr, 0), "false");
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
