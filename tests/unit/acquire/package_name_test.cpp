// Package naming and the URL sequence of the package download.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquire/package_name.h"

namespace {

std::string name_for(const char* arch, const char* version) {
  char out[PACKAGE_NAME_SIZE];
  installer_package_name(arch, version, out, sizeof out);
  return out;
}

}  // namespace

TEST(PackageName, ArchitectureAndVersionRules) {
  EXPECT_EQ(name_for("x64", "2.1.7"), "Corvane-Installer-win-x64-2.1.7.0.msi");
  EXPECT_EQ(name_for("arm64", "2.1.7"), "Corvane-Installer-win-arm64-2.1.7.0.msi");
  EXPECT_EQ(name_for("ARM", "2.1.7"), "Corvane-Installer-win-x64-2.1.7.0.msi");
  EXPECT_EQ(name_for("ARM64EC", "2.1.7"), "Corvane-Installer-win-x64-2.1.7.0.msi");
  EXPECT_EQ(name_for("", "2.1.7.3"), "Corvane-Installer-win-x64-2.1.7.3.msi");
  EXPECT_EQ(name_for("x64", "2.1"), "Corvane-Installer-win-x64-2.1.msi");
  EXPECT_EQ(name_for("x64", "2.1.7-beta"), "Corvane-Installer-win-x64-2.1.7-beta.msi");
  EXPECT_EQ(name_for("x64", "2..7"), "Corvane-Installer-win-x64-2..7.msi");
  EXPECT_EQ(name_for("x64", ".2.7"), "Corvane-Installer-win-x64-.2.7.msi");
  EXPECT_EQ(name_for("x64", "2.1."), "Corvane-Installer-win-x64-2.1..msi");
  EXPECT_EQ(name_for("x64", "1.9.0"), "Corvane-Installer-1.9.0.0.msi");
  EXPECT_EQ(name_for("ARM64", "10.1.0"), "Corvane-Installer-ARM-10.1.0.0.msi");
  EXPECT_EQ(name_for("x64", ""), "Corvane-Installer-win-x64-latest.msi");
  EXPECT_EQ(name_for("Arm64", nullptr), "Corvane-Installer-win-arm64-latest.msi");
}

TEST(PackageName, LongVersionsStayUnnormalisedAndBounded) {
  std::string v126 = std::string(122, '2') + ".1.7";  // 126 characters: too long to gain ".0"
  EXPECT_EQ(name_for("x64", v126.c_str()), "Corvane-Installer-win-x64-" + v126 + ".msi");
  std::string huge(400, '3');
  std::string name = name_for("x64", huge.c_str());
  EXPECT_EQ(name.size(), PACKAGE_NAME_SIZE - 1);
  char tiny[8];
  installer_package_name("x64", "2.1.7", tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "Corvane");
}

TEST(PackageName, ZipTwinOnlyForLowerCaseMsi) {
  char out[PACKAGE_NAME_SIZE];
  package_zip_name("Corvane-Installer-win-x64-2.1.7.0.msi", out, sizeof out);
  EXPECT_STREQ(out, "Corvane-Installer-win-x64-2.1.7.0.zip");
  package_zip_name("setup.MSI", out, sizeof out);
  EXPECT_STREQ(out, "setup.MSI");
  package_zip_name(".msi", out, sizeof out);
  EXPECT_STREQ(out, ".msi");
}

TEST(PackageAttemptPlan, TwelveUrlsInOrderWithPrefix) {
  package_attempt a[PACKAGE_MAX_ATTEMPTS];
  int n = package_attempt_plan("beta-", "corvane.org", "P.msi", 0, a);
  ASSERT_EQ(n, 12);
  const char* expected[] = {
      "https://beta-update-dl.corvane.org/P.zip", "https://beta-update-dl.corvane.org/P.msi",
      "https://beta-update-dl.corvane.com/P.zip", "https://beta-update-dl.corvane.com/P.msi",
      "https://beta-update-dl.corvane.net/P.zip", "https://beta-update-dl.corvane.net/P.msi",
      "http://beta-update-dl.corvane.org/P.zip",  "http://beta-update-dl.corvane.org/P.msi",
      "http://beta-update-dl.corvane.com/P.zip",  "http://beta-update-dl.corvane.com/P.msi",
      "http://beta-update-dl.corvane.net/P.zip",  "http://beta-update-dl.corvane.net/P.msi",
  };
  for (int i = 0; i < n; ++i) {
    EXPECT_STREQ(a[i].url, expected[i]) << i;
    EXPECT_STREQ(a[i].label, i % 2 ? "msi" : "zip");
    EXPECT_EQ(a[i].is_last, i == 11);
  }
}

TEST(PackageAttemptPlan, MsiOnlyAndNoPrefix) {
  package_attempt a[PACKAGE_MAX_ATTEMPTS];
  int n = package_attempt_plan(nullptr, nullptr, "P.msi", 1, a);
  ASSERT_EQ(n, 6);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(a[i].is_zip, 0);
    EXPECT_EQ(std::string(a[i].url).find(".zip"), std::string::npos);
    EXPECT_EQ(a[i].is_last, i == 5);
  }
  EXPECT_STREQ(a[0].url, "https://update-dl.corvane.com/P.msi");
  EXPECT_STREQ(a[5].url, "http://update-dl.corvane.org/P.msi");
}
