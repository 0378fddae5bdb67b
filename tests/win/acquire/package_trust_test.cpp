// The package check under Wine: the signature's presence and the publisher pin, the handle
// that keeps the checked file as it was until msiexec has run, and which product and version
// the held package is. The samples are the test
// product signed at build time (tests/fixtures/product/CMakeLists.txt); their self-signed
// certificates pass only because Wine checks neither the chain nor the content hash, which
// are Windows' part of the check.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "acquire/package_identity_win.h"
#include "acquire/package_trust_win.h"
#include "product/product.h"
#include "win_support.h"

namespace {

using namespace test_support;

std::string beside_tests(const std::string& relative) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder(self);
  return folder.substr(0, folder.find_last_of('\\')) + "\\" + relative;
}

class PackageTrust : public ::testing::Test {
 protected:
  // A copy in a scratch folder, so the test may try to change it.
  std::string copy_of(const char* relative) {
    std::string target = scratch_.sub("package.msi");
    EXPECT_TRUE(CopyFileA(beside_tests(relative).c_str(), target.c_str(), FALSE)) << relative;
    return target;
  }
  scratch_dir scratch_{"package-trust"};
  kernel_handle held_;
  char reason_[PACKAGE_TRUST_REASON] = "";
};

TEST_F(PackageTrust, PinnedPublisherIsKeptAsCheckedUntilReleased) {
  std::string package = copy_of("test-signer\\samples\\pinned.msi");
  ASSERT_EQ(package_trust_open(package.c_str(), &held_, reason_, sizeof reason_), 0) << reason_;
  ASSERT_TRUE(held_.valid());
  // Nobody can change, replace or remove it while it is held...
  HANDLE writer = CreateFileA(package.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(DeleteFileA(package.c_str()));
  EXPECT_FALSE(MoveFileA(package.c_str(), scratch_.sub("moved.msi").c_str()));
  // ...and msiexec can still read it, as can the Windows Installer's API that asks which
  // product and version it is.
  kernel_handle reader(CreateFileA(package.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader.valid());
  char identity[PACKAGE_IDENTITY_REASON] = "";
  EXPECT_EQ(package_identity_check(package.c_str(), identity, sizeof identity), 0) << identity;
}

// Read with msi.dll from the real packages: another product of the publisher, an older
// release, and something that is no package at all.
TEST_F(PackageTrust, AnotherProductAndAnOlderReleaseAreNotThisProduct) {
  char reason[PACKAGE_IDENTITY_REASON] = "";
  std::string package = copy_of("product\\other_product\\Corvane-Installer-win-x64-latest.msi");
  EXPECT_EQ(package_identity_check(package.c_str(), reason, sizeof reason), -1);
  EXPECT_STREQ(reason, "UpgradeCode {3C1E5A7B-2D4F-4E6A-8B9C-0D1E2F3A4B5C} is not this product's " PRODUCT_UPGRADE_CODE);
  DeleteFileA(package.c_str());
  package = copy_of("product\\old\\Corvane-Installer-win-x64-latest.msi");
  EXPECT_EQ(package_identity_check(package.c_str(), reason, sizeof reason), -1);
  EXPECT_STREQ(reason, "ProductVersion 1.9.0.0 is below this build's minimum " MIN_PACKAGE_VERSION);
  write_file(package, "not a package");
  EXPECT_EQ(package_identity_check(package.c_str(), reason, sizeof reason), -1);
  EXPECT_EQ(std::string(reason).rfind("the Windows Installer cannot open it (err=", 0), 0u) << reason;
}

TEST_F(PackageTrust, UnsignedPackageAndAnotherPublisherAreRefusedAndLetGo) {
  std::string package = copy_of("product\\ok\\Corvane-Installer-win-x64-latest.msi");
  EXPECT_EQ(package_trust_open(package.c_str(), &held_, reason_, sizeof reason_), -1);
  EXPECT_STREQ(reason_, "no signature (0x800b0100)");
  EXPECT_FALSE(held_.valid());
  EXPECT_TRUE(DeleteFileA(package.c_str())) << "a refused package is not held";

  package = copy_of("test-signer\\samples\\other.msi");
  EXPECT_EQ(package_trust_open(package.c_str(), &held_, reason_, sizeof reason_), -1);
  EXPECT_NE(std::string(reason_).find(" is not a pinned publisher"), std::string::npos) << reason_;
  EXPECT_FALSE(held_.valid());

  EXPECT_EQ(package_trust_open(scratch_.sub("missing.msi").c_str(), &held_, reason_, sizeof reason_), -1);
  EXPECT_NE(std::string(reason_).find("(err=2)"), std::string::npos) << reason_;
}

}  // namespace
