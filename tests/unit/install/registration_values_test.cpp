// Our Add/Remove Programs entry: which values, in which order, and which version it shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/registration_values.h"

namespace {

std::vector<std::string> names_of(const uninstall_entry& entry) {
  std::vector<std::string> names;
  for (int i = 0; i < entry.count; ++i) names.push_back(entry.values[i].name);
  return names;
}

const uninstall_value* find(const uninstall_entry& entry, const char* name) {
  for (int i = 0; i < entry.count; ++i)
    if (std::string(entry.values[i].name) == name) return &entry.values[i];
  return nullptr;
}

const char* const DIR = "C:\\Program Files\\Corvane Labs\\Corvane";

TEST(UninstallEntry, FullEntryInTableOrderWithMirroredPackageFacts) {
  msi_entry_facts msi = {"2.1.7.0", "{A4A31953-E763-425A-B793-0EBA76999F4A}", 5120, 1};
  uninstall_entry entry;
  ASSERT_EQ(uninstall_entry_build(DIR, "2.1.7.0", &msi, "https://help.example/", &entry), 11);
  EXPECT_EQ(names_of(entry),
            (std::vector<std::string>{"DisplayName", "DisplayIcon", "UninstallString", "Publisher", "DisplayVersion",
                                      "InstallLocation", "MsiProductCode", "NoModify", "NoRepair", "HelpLink",
                                      "EstimatedSize"}));
  EXPECT_STREQ(find(entry, "DisplayName")->text, "Corvane");
  EXPECT_STREQ(find(entry, "DisplayIcon")->text, "C:\\Program Files\\Corvane Labs\\Corvane\\Corvane.exe,0");
  // Quoted: unquoted, Windows would read "C:\Program" as the program and the rest as arguments.
  EXPECT_STREQ(find(entry, "UninstallString")->text,
               "\"C:\\Program Files\\Corvane Labs\\Corvane\\CorvaneUninstall.exe\"");
  EXPECT_STREQ(find(entry, "Publisher")->text, "Corvane Labs");
  EXPECT_STREQ(find(entry, "InstallLocation")->text, DIR);
  EXPECT_STREQ(find(entry, "MsiProductCode")->text, msi.product_code);
  EXPECT_STREQ(find(entry, "HelpLink")->text, "https://help.example/");
  for (const char* dword : {"NoModify", "NoRepair"}) {
    EXPECT_EQ(find(entry, dword)->type, UNINSTALL_VALUE_DWORD) << dword;
    EXPECT_EQ(find(entry, dword)->number, 1u) << dword;
  }
  EXPECT_EQ(find(entry, "EstimatedSize")->type, UNINSTALL_VALUE_DWORD);
  EXPECT_EQ(find(entry, "EstimatedSize")->number, 5120u);
  EXPECT_EQ(find(entry, "DisplayIcon")->type, UNINSTALL_VALUE_TEXT);
}

TEST(UninstallEntry, PackageFactsThatWereNotFoundAreLeftOut) {
  msi_entry_facts none = {};
  uninstall_entry entry;
  ASSERT_EQ(uninstall_entry_build(DIR, "2.0.266.0", &none, "h", &entry), 9);
  EXPECT_EQ(find(entry, "MsiProductCode"), nullptr);
  EXPECT_EQ(find(entry, "EstimatedSize"), nullptr);
  // A product code without a size (and the reverse) keeps the other.
  msi_entry_facts code_only = {"", "{X}", 0, 1};
  ASSERT_EQ(uninstall_entry_build(DIR, "1", &code_only, "h", &entry), 10);
  EXPECT_NE(find(entry, "MsiProductCode"), nullptr);
  msi_entry_facts size_only = {"", "", 42, 0};
  ASSERT_EQ(uninstall_entry_build(DIR, "1", &size_only, "h", &entry), 10);
  EXPECT_EQ(names_of(entry).back(), "EstimatedSize");
}

}  // namespace
