// install_state_init and the probes against Wine's registry and system. Values written to
// shared keys are removed again; tests touching a product value restore what they found.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

#include "base/reg_view_win.h"
#include "product/product.h"
#include "product/product_places_win.h"
#include "state/install_state.h"
#include "state/os_probe.h"
#include "win_support.h"

namespace {

bool matches(const char* text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

// Saves a product-key value and puts it back (or removes it) at the end of the test.
class saved_value {
 public:
  saved_value(HKEY root, const char* name) : root_(root), name_(name) {
    had_ = reg_read_text(root, PRODUCT_REG_KEY, REG_VIEW_64, name, value_, sizeof value_) == ERROR_SUCCESS;
  }
  ~saved_value() {
    if (had_)
      reg_write_text(root_, PRODUCT_REG_KEY, REG_VIEW_64, name_, value_);
    else
      reg_delete_value(root_, PRODUCT_REG_KEY, REG_VIEW_64, name_);
  }

 private:
  HKEY root_;
  const char* name_;
  char value_[256];
  bool had_;
};

install_state* fresh_state() {
  static install_state state;
  install_state_init(&state);
  return &state;
}

}  // namespace

TEST(InstallStateInit, PathsIdentityAndDefaults) {
  saved_value user_id(HKEY_CURRENT_USER, "UserId"), user_date(HKEY_CURRENT_USER, "UserDate");
  reg_delete_value(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "UserId");
  reg_delete_value(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "UserDate");
  install_state* s = fresh_state();
  EXPECT_EQ(s->msi_file_size_kb, -1);
  EXPECT_TRUE(matches(s->install_dir, R"(C:\\Program Files\\Corvane Labs\\Corvane)")) << s->install_dir;
  EXPECT_TRUE(matches(s->temp_dir, R"(.*\\)")) << s->temp_dir;
  EXPECT_TRUE(matches(s->exe_path, R"(.*\\win_tests\.exe)")) << s->exe_path;
  // A generated identifier: the version-8 layout with a time part of this decade.
  EXPECT_TRUE(matches(s->user_id, "0[0-9a-f]{7}-[0-9a-f]{3}1-8[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")) << s->user_id;
  EXPECT_FALSE(install_state_user_id_persisted());
  EXPECT_FALSE(install_state_user_date_persisted());
  EXPECT_TRUE(matches(s->user_date, "20[0-9]{6}")) << s->user_date;
  EXPECT_TRUE(matches(s->machine_date, "20[0-9]{6}")) << s->machine_date;
  EXPECT_TRUE(matches(s->machine_id, "[0-9a-f]{8}-([0-9a-f]{4}-){3}[0-9a-f]{12}")) << s->machine_id;
  EXPECT_TRUE(matches(s->machine_id_sha2, "[0-9A-F]{64}")) << s->machine_id_sha2;
  EXPECT_STREQ(s->host_prefix, "");
  EXPECT_EQ(s->is_elevated, 1);  // every Wine process is an elevated administrator
  EXPECT_EQ(s->is_admin, 1);
}

TEST(InstallStateInit, RegistryFillsWhatTheTagLeftAndPersistedIdentityIsKept) {
  saved_value user_id(HKEY_CURRENT_USER, "UserId"), source(HKEY_LOCAL_MACHINE, "UTMSource"),
      prefix(HKEY_LOCAL_MACHINE, "HostPrefix");
  reg_write_text(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "UserId", "user-from-registry");
  reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "UTMSource", "caf\xC3\xA9");
  reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostPrefix", "local-");
  install_state* s = fresh_state();
  EXPECT_STREQ(s->user_id, "user-from-registry");
  EXPECT_TRUE(install_state_user_id_persisted());
  EXPECT_STREQ(s->utm_source, "caf\xC3\xA9");
  EXPECT_STREQ(s->host_prefix, "dev-");
  // The machine identifier issued by an elevated run is stored once and found again.
  char stored[128];
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "MachineId", stored, sizeof stored),
            ERROR_SUCCESS);
  EXPECT_STREQ(stored, s->machine_id);
  EXPECT_STREQ(fresh_state()->machine_id, stored);
}

// Any process that once ran elevated may have left HostPrefix: checked like the tag, and a
// refused one leaves the prefix the build's name implies (here none).
TEST(InstallStateInit, RegistryHostPrefixOutsideTheAllowListIsRefused) {
  saved_value prefix(HKEY_LOCAL_MACHINE, "HostPrefix");
  reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostPrefix", "evil.example/\"x");
  test_support::captured_log log;
  install_state* s = fresh_state();
  EXPECT_STREQ(s->host_prefix, "");
  EXPECT_TRUE(log.has("[WARN] [Installer] Refused host_prefix from HKLM HostPrefix: \"evil.example/\\x22x\""))
      << log.text();
}

TEST(SystemProbes, FieldsInTheirDocumentedForm) {
  static install_state s;
  probe_system(&s);
  probe_user_and_computer_names(&s);
  probe_free_disk(&s);
  EXPECT_TRUE(matches(s.os_version, R"(\d+\.\d+\.\d+)")) << s.os_version;
  EXPECT_TRUE(std::string(s.os_version).ends_with(std::string(".") + s.os_build));
  EXPECT_TRUE(matches(s.os_name, "Windows .+")) << s.os_name;
  EXPECT_STREQ(s.os_architecture, "x64");
  EXPECT_TRUE(matches(s.os_language_code, "[a-z]{2,3}(-[A-Z]{2})?")) << s.os_language_code;
  EXPECT_NE(s.os_language[0], '\0');
  EXPECT_TRUE(matches(s.os_memory_mb, "[1-9][0-9]*")) << s.os_memory_mb;
  EXPECT_TRUE(matches(s.free_disk_mb, "[0-9]+")) << s.free_disk_mb;
  EXPECT_TRUE(matches(s.os_timezone, R"(UTC[+-]\d{1,2}:\d\d( \(.+\))?)")) << s.os_timezone;
  EXPECT_TRUE(s.os_install_date[0] == '\0' || matches(s.os_install_date, R"(\d{4}-\d\d-\d\d)")) << s.os_install_date;
  probe_antivirus_wait();  // the list comes from a thread of its own
  EXPECT_LT(strlen(s.os_antivirus), sizeof s.os_antivirus);
  EXPECT_NE(s.computer_name[0], '\0');
  EXPECT_NE(s.user_name[0], '\0');
}

TEST(SystemProbes, DefaultBrowserFromUserChoice) {
  const char* key = "SOFTWARE\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice";
  char before[128];
  bool had = reg_read_text(HKEY_CURRENT_USER, key, REG_VIEW_64, "ProgId", before, sizeof before) == ERROR_SUCCESS;
  reg_write_text(HKEY_CURRENT_USER, key, REG_VIEW_64, "ProgId", "MSEdgeHTM");
  static install_state s;
  probe_default_browser(&s);
  EXPECT_STREQ(s.browser_name_default, "Edge");
  if (had)
    reg_write_text(HKEY_CURRENT_USER, key, REG_VIEW_64, "ProgId", before);
  else
    reg_delete_value(HKEY_CURRENT_USER, key, REG_VIEW_64, "ProgId");
}
