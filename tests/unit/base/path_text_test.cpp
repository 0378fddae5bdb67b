#include <gtest/gtest.h>

#include "base/path_text.h"

TEST(PathText, PathInFolder) {
  const char* dir = "C:\\Program Files\\Corvane Labs\\Corvane";
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\Corvane\\CorvaneUninstall.exe", dir), 1);
  EXPECT_EQ(path_in_folder("c:\\program files\\corvane labs\\corvane\\sub\\x.exe", dir), 1);
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\Corvane\\x.exe", "C:\\Program Files\\Corvane Labs\\Corvane\\\\"), 1);
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\CorvaneOld\\x.exe", dir), 0);
  EXPECT_EQ(path_in_folder("C:\\Temp\\CorvaneUninstall.exe", dir), 0);
  EXPECT_EQ(path_in_folder("x.exe", dir), 0);
  EXPECT_EQ(path_in_folder("C:\\a\\x.exe", ""), 0);
}

TEST(PathText, FileName) {
  EXPECT_STREQ(path_file_name("C:\\logs\\a\\Corvane.Installer-20260101.log"), "Corvane.Installer-20260101.log");
  EXPECT_STREQ(path_file_name("C:/x/y.log"), "y.log");
  EXPECT_STREQ(path_file_name("plain.log"), "plain.log");
  EXPECT_STREQ(path_file_name("dir\\"), "");
  EXPECT_STREQ(path_file_name(nullptr), "");
}

TEST(PathText, ParentDirectory) {
  char out[260];
  parent_directory("C:\\Program Files\\Corvane Labs\\Corvane", out, sizeof out);
  EXPECT_STREQ(out, "C:\\Program Files\\Corvane Labs");
  parent_directory("\\Corvane", out, sizeof out);
  EXPECT_STREQ(out, "");
  parent_directory("Corvane", out, sizeof out);
  EXPECT_STREQ(out, "");
}

TEST(PathText, UninstallerChosenByFileNameOnly) {
  EXPECT_EQ(is_uninstaller_path("C:\\Program Files\\Corvane Labs\\Corvane\\CorvaneUninstall.exe"), 1);
  EXPECT_EQ(is_uninstaller_path("C:\\Temp\\UNINSTALL-corvane.exe"), 1);
  EXPECT_EQ(is_uninstaller_path("C:\\Temp\\CorvaneSetup.exe"), 0);
  // A folder name never decides: a download kept in "Uninstall tools" still installs.
  EXPECT_EQ(is_uninstaller_path("C:\\Users\\u\\Downloads\\Uninstall tools\\CorvaneSetup.exe"), 0);
  EXPECT_EQ(is_uninstaller_path("C:\\uninstall\\CorvaneSetup.exe"), 0);
  EXPECT_EQ(is_uninstaller_path("CorvaneUninstall.exe"), 1);
  EXPECT_EQ(is_uninstaller_path(nullptr), 0);
}
