// The uninstall engine's decisions: which uninstall entry is the MSI's, which policy
// entries are the product's, how a folder walk treats links, what may go from the install
// folder, and what a failed MSI removal holds back.
#include "uninstall/removal_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "base/delete_tree.h"
#include "product/product.h"

namespace {

TEST(UninstallRules, MsiEntryIsAnyOtherKeyNamedLikeTheProduct) {
  EXPECT_EQ(is_msi_product_entry("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}", "Corvane"), 1);
  EXPECT_EQ(is_msi_product_entry("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}", "corvane"), 1);
  // This program's own entry carries the same display name and must never be taken for it.
  EXPECT_EQ(is_msi_product_entry("Corvane", "Corvane"), 0);
  EXPECT_EQ(is_msi_product_entry("CORVANE", "Corvane"), 0);
  EXPECT_EQ(is_msi_product_entry("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}", "Corvane Beta"), 0);
  EXPECT_EQ(is_msi_product_entry("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}", nullptr), 0) << "no REG_SZ name";
  EXPECT_EQ(is_msi_product_entry("Corvane (old)", "Corvane"), 1);
}

TEST(UninstallRules, OnlyABracedGuidPassesAsAProductCode) {
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}"), 1);
  EXPECT_EQ(is_product_code_guid("{5a7c3b1e-0d2f-4e6a-9b8c-1f2e3d4c5b6a}"), 1);
  // Whatever could add an argument to msiexec or name a wider key is refused.
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A} /i \\\\host\\x.msi"), 0);
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}\\.."), 0);
  EXPECT_EQ(is_product_code_guid("\\"), 0);
  EXPECT_EQ(is_product_code_guid(""), 0);
  EXPECT_EQ(is_product_code_guid(nullptr), 0);
  EXPECT_EQ(is_product_code_guid("5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A"), 0) << "no braces";
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6}"), 0) << "one digit short";
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6G}"), 0) << "not hexadecimal";
  EXPECT_EQ(is_product_code_guid("{5A7C3B1E0-D2F-4E6A-9B8C-1F2E3D4C5B6A}"), 0) << "dash misplaced";
  EXPECT_EQ(is_product_code_guid("Corvane (old)"), 0);
}

TEST(UninstallRules, ForceInstallEntriesOfTheProductOnly) {
  EXPECT_EQ(forcelist_entry_is_product("kbmhgaeplfcjdmnoiakbpcfejhgdlmno"), 1);
  EXPECT_EQ(forcelist_entry_is_product("kbmhgaeplfcjdmnoiakbpcfejhgdlmno;https://clients2.google.com/service/update2/crx"),
            1);
  EXPECT_EQ(forcelist_entry_is_product("aapocclcgogkmnckokdopfmhonfmgoek;https://clients2.google.com/service/update2/crx"),
            0);
  EXPECT_EQ(forcelist_entry_is_product("kbmhgaeplfcjdmnoiakbpcfejhgdlmn"), 0) << "one letter short";
  EXPECT_EQ(forcelist_entry_is_product(""), 0);
  EXPECT_EQ(forcelist_entry_is_product(nullptr), 0);
}

TEST(UninstallRules, InstallFolderKeepsOnlyTheUninstallerForLast) {
  EXPECT_EQ(install_dir_entry_to_remove("."), 0);
  EXPECT_EQ(install_dir_entry_to_remove(".."), 0);
  EXPECT_EQ(install_dir_entry_to_remove("CorvaneUninstall.exe"), 0);
  EXPECT_EQ(install_dir_entry_to_remove("corvaneuninstall.EXE"), 0);
  EXPECT_EQ(install_dir_entry_to_remove("Corvane.exe"), 1);
  EXPECT_EQ(install_dir_entry_to_remove("CorvaneUninstall.exe.old"), 1);
  EXPECT_EQ(install_dir_entry_to_remove("CorvaneUninstaller.exe"), 1);
  EXPECT_EQ(install_dir_entry_to_remove("..."), 1);
  EXPECT_EQ(install_dir_entry_to_remove("filters"), 1);
}

TEST(UninstallRules, IdentityValuesMatchWholeNamesInAnyCase) {
  EXPECT_EQ(name_in_list("MachineId", HKLM_IDENTITY_VALUES), 1);
  EXPECT_EQ(name_in_list("machinedate", HKLM_IDENTITY_VALUES), 1);
  EXPECT_EQ(name_in_list("UserId", HKLM_IDENTITY_VALUES), 0) << "the hives keep different names";
  EXPECT_EQ(name_in_list("USERDATE", HKCU_IDENTITY_VALUES), 1);
  EXPECT_EQ(name_in_list("MachineIdSha2", HKLM_IDENTITY_VALUES), 0);
  EXPECT_EQ(name_in_list("Machine", HKLM_IDENTITY_VALUES), 0);
  EXPECT_EQ(name_in_list("", HKLM_IDENTITY_VALUES), 0);
  EXPECT_EQ(name_in_list(nullptr, HKLM_IDENTITY_VALUES), 0);
}

// Whatever the probe can find in the task store, the removal deletes: each schtasks name
// (leading backslash dropped) is one of the probe's task files, and the other way round.
TEST(UninstallRules, ProbeAndRemovalKnowTheSameTasks) {
  ASSERT_EQ(PRODUCT_TASK_NAMES.count, PRODUCT_TASK_FILES.count);
  for (size_t i = 0; i < PRODUCT_TASK_NAMES.count; ++i) {
    std::string name = PRODUCT_TASK_NAMES.names[i];
    if (name[0] == '\\') name.erase(0, 1);
    EXPECT_EQ(name_in_list(name.c_str(), PRODUCT_TASK_FILES), 1) << name;
  }
  for (size_t i = 0; i < PRODUCT_TASK_FILES.count; ++i) {
    std::string file = PRODUCT_TASK_FILES.names[i];
    EXPECT_TRUE(name_in_list(file.c_str(), PRODUCT_TASK_NAMES) || name_in_list(("\\" + file).c_str(), PRODUCT_TASK_NAMES))
        << file;
  }
}

struct guard_case {
  const char* what;
  int code_found, started;
  uint32_t exit_code;
  int registered_after;
  int result, succeeded, purge_appdata, purge_key;
};

TEST(UninstallRules, FailedMsiRemovalHoldsBackThePurges) {
  const guard_case cases[] = {
      {"removed", 1, 1, 0, 0, 0, 1, 1, 1},
      {"removed, reboot needed", 1, 1, 3010, 0, 0, 1, 1, 1},
      {"3010 with the entry still there", 1, 1, 3010, 1, 0, 1, 1, 1},
      {"failed, still registered", 1, 1, 1603, 1, 1603, 0, 0, 0},
      {"failed, no longer registered", 1, 1, 1603, 0, 1603, 0, 1, 0},
      {"unknown product", 1, 1, 1605, 0, 1605, 0, 1, 0},
      {"msiexec could not start", 1, 0, 0, 1, -1, 0, 0, 0},
      {"no product code at all", 0, 0, 0, 0, 0, 1, 1, 1},
  };
  for (const guard_case& c : cases) {
    msi_removal msi = msi_removal_of(c.code_found, process_result{c.started != 0, c.exit_code, 0});
    EXPECT_EQ(msi.result, c.result) << c.what;
    EXPECT_EQ(msi.succeeded, c.succeeded) << c.what;
    cleanup_guards guards = cleanup_guards_for(msi, c.registered_after);
    EXPECT_EQ(guards.purge_appdata, c.purge_appdata) << c.what;
    EXPECT_EQ(guards.purge_product_key, c.purge_key) << c.what;
  }
}

}  // namespace
