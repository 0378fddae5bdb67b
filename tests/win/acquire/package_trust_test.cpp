// The package check under Wine: the signature's presence and the publisher pin, and the handle
// that keeps the checked file as it was until msiexec has run. The samples are the test
// product signed at build time (tests/fixtures/product/CMakeLists.txt); their self-signed
// certificates pass only because Wine checks neither the chain nor the content hash, which
// are Windows' part of the check.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "acquire/package_trust_win.h"
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
  scoped_handle held_;
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
  // ...and msiexec can still read it.
  scoped_handle reader(CreateFileA(package.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader.valid());
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
