#include "install/command_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "install/msi_exec.h"

TEST(MsiCommand, QuotesPathsAndCarriesTheHttpsChoice) {
  char out[1025];
  ASSERT_EQ(msi_install_command("C:\\Users\\A B\\Temp\\Corvane-Installer-win-x64-2.0.266.0.msi", 0,
                                "C:\\Users\\A B\\Temp\\", out, sizeof out),
            0);
  EXPECT_STREQ(out,
               "msiexec.exe /i \"C:\\Users\\A B\\Temp\\Corvane-Installer-win-x64-2.0.266.0.msi\" /qn /norestart "
               "LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=0 /l*v \"C:\\Users\\A B\\Temp\\CorvaneMSILog.log\"");
  ASSERT_EQ(msi_install_command("x.msi", 5, "T\\", out, sizeof out), 0);
  EXPECT_NE(std::string(out).find("CORVANE_DECRYPT_HTTPS=1 "), std::string::npos);
}

TEST(MsiCommand, RefusesACommandThatWouldBeCut) {
  // A cut command line would run msiexec on a different (truncated) path.
  std::string long_temp = "C:\\" + std::string(1000, 't') + "\\";
  char out[1025];
  EXPECT_EQ(msi_install_command("C:\\p.msi", 1, long_temp.c_str(), out, sizeof out), -1);
}

TEST(MsiCommand, SuccessCodes) {
  EXPECT_TRUE(msi_success(0));
  EXPECT_TRUE(msi_success(3010));
  EXPECT_FALSE(msi_success(1603));
  EXPECT_FALSE(msi_success(1618));
  EXPECT_FALSE(msi_success(-1));
  EXPECT_FALSE(msi_success(1641));
}

TEST(MsiCommand, PreinstallUninstallerCommand) {
  char out[512];
  preinstall_uninstaller_command("C:\\Users\\A B\\Temp\\CorvaneUninstall-PreInstall.exe", 0, out, sizeof out);
  EXPECT_STREQ(out, "\"C:\\Users\\A B\\Temp\\CorvaneUninstall-PreInstall.exe\" /S /UNINSTALLBEFOREINSTALL /USAGEDATA=0");
}
