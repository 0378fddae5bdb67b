// The removal's single operations against Wine's registry and task store: only the
// product's entries go, neighbours and identity values stay.
#include <windows.h>

#include <gtest/gtest.h>

#include "product/product.h"
#include "uninstall/cleanup.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

const char* const PRODUCT_ENTRY = "kbmhgaeplfcjdmnoiakbpcfejhgdlmno;https://clients2.google.com/service/update2/crx";
const char* const OTHER_ENTRY = "aapocclcgogkmnckokdopfmhonfmgoek;https://clients2.google.com/service/update2/crx";

class UninstallCleanup : public ProductFootprint {};

TEST_F(UninstallCleanup, ForceInstallListKeepsOtherExtensions) {
  set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "1", OTHER_ENTRY);
  set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "2", PRODUCT_ENTRY);
  set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "3", PRODUCT_ENTRY, KEY_WOW64_64KEY, REG_EXPAND_SZ);
  captured_log log("Uninstaller");

  remove_chrome_forcelist_entries();

  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "1"));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "2"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "3")) << "only REG_SZ entries are read";
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Removed Chrome force-install entry " CHROME_FORCELIST_KEY "\\2"));
  EXPECT_EQ(log.count("Removed Chrome force-install entry"), 1);
  EXPECT_FALSE(log.has("policy key"));
}

TEST_F(UninstallCleanup, EmptiedPolicyKeysGoUpToTheFirstNonEmptyParent) {
  set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "1", PRODUCT_ENTRY);
  set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "2", "kbmhgaeplfcjdmnoiakbpcfejhgdlmno");
  create_key(HKEY_LOCAL_MACHINE, std::string(GOOGLE_POLICY_KEY) + "\\Update");
  captured_log log("Uninstaller");

  remove_chrome_forcelist_entries();

  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, CHROME_POLICY_KEY));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, GOOGLE_POLICY_KEY)) << "holds another product's policy";
  EXPECT_TRUE(log.has("Removed empty Chrome force-install policy key"));
  EXPECT_TRUE(log.has("Removed empty policy key " CHROME_POLICY_KEY));
  EXPECT_EQ(log.count("Removed empty policy key"), 1) << "the Google key stays";

  delete_key(HKEY_LOCAL_MACHINE, std::string(GOOGLE_POLICY_KEY) + "\\Update", KEY_WOW64_64KEY);
  EXPECT_EQ(remove_empty_policy_key(GOOGLE_POLICY_KEY), 1);
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, GOOGLE_POLICY_KEY));
  EXPECT_EQ(remove_empty_policy_key(GOOGLE_POLICY_KEY), 1) << "absent counts as gone";
  set_sz(HKEY_LOCAL_MACHINE, CHROME_POLICY_KEY, "SomePolicy", "1");
  EXPECT_EQ(remove_empty_policy_key(CHROME_POLICY_KEY), 0);
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, CHROME_POLICY_KEY));
}

TEST_F(UninstallCleanup, ProductKeyPurgeKeepsOnlyIdentity) {
  const std::string key = PRODUCT_REG_KEY;
  set_sz(HKEY_LOCAL_MACHINE, key, "machineid", "m");  // identity names match in any case
  set_sz(HKEY_LOCAL_MACHINE, key, "MachineDate", "d");
  set_sz(HKEY_LOCAL_MACHINE, key, "ProductVersion", "2.0");
  set_dword(HKEY_LOCAL_MACHINE, key, "SendUsageData", 1);
  set_sz(HKEY_LOCAL_MACHINE, key + "\\Filters\\Custom", "List", "x");
  set_sz(HKEY_LOCAL_MACHINE, key + "\\Browsers", "Chrome", "1");
  set_sz(HKEY_LOCAL_MACHINE, key, "Untouched32", "x", KEY_WOW64_32KEY);
  captured_log log("Uninstaller");

  purge_product_key(HKEY_LOCAL_MACHINE, HKLM_IDENTITY_VALUES);

  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, key, "MachineId"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, key, "MachineDate"));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, key, "ProductVersion"));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, key, "SendUsageData"));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, key + "\\Filters"));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, key + "\\Browsers"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, key, "Untouched32", KEY_WOW64_32KEY)) << "64-bit view only";
  EXPECT_TRUE(log.has("Purged registry subkey: " PRODUCT_REG_KEY "\\Filters"));
  EXPECT_TRUE(log.has("Purged registry value: " PRODUCT_REG_KEY "\\ProductVersion"));
  EXPECT_FALSE(log.has("MachineDate"));

  // The user hive keeps its own identity names, not the machine's.
  set_sz(HKEY_CURRENT_USER, key, "UserId", "u");
  set_sz(HKEY_CURRENT_USER, key, "MachineId", "m");
  purge_product_key(HKEY_CURRENT_USER, HKCU_IDENTITY_VALUES);
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, key, "UserId"));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, key, "MachineId"));
}

TEST_F(UninstallCleanup, KeyTreesAndRunValuesGoInThe64BitView) {
  set_sz(HKEY_LOCAL_MACHINE, std::string(OWN_UNINSTALL_KEY) + "\\Nested", "x", "1");
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", "x", KEY_WOW64_32KEY);
  delete_hklm_key_tree(OWN_UNINSTALL_KEY);
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY));
  EXPECT_TRUE(key_exists(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, KEY_WOW64_32KEY));
  delete_hklm_key_tree(OWN_UNINSTALL_KEY);  // absent now: nothing happens

  set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME, "x");
  set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, "CorvaneTestNeighbour", "x");
  set_sz(HKEY_CURRENT_USER, RUN_KEY, RUN_VALUE_NAME, "x");
  delete_run_value(HKEY_LOCAL_MACHINE);
  delete_run_value(HKEY_CURRENT_USER);
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, RUN_KEY, RUN_VALUE_NAME));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, RUN_KEY, "CorvaneTestNeighbour"));
  HKEY run;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &run), ERROR_SUCCESS);
  RegDeleteValueA(run, "CorvaneTestNeighbour");
  RegCloseKey(run);
}

TEST_F(UninstallCleanup, ScheduledTaskDeletedByItsFolderAndName) {
  create_task("\\CorvaneLabs\\CorvaneUICheck");
  create_task("\\OtherVendor\\CorvaneUICheck");
  ASSERT_TRUE(task_file_exists("CorvaneLabs\\CorvaneUICheck"));
  delete_scheduled_task("\\CorvaneLabs\\CorvaneUICheck");
  delete_scheduled_task("\\CorvaneLabs\\NoSuchTask");  // schtasks fails quietly
  EXPECT_FALSE(task_file_exists("CorvaneLabs\\CorvaneUICheck"));
  EXPECT_TRUE(task_file_exists("OtherVendor\\CorvaneUICheck"));
}

}  // namespace
