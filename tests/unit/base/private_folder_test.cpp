#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/private_folder.h"

namespace {

struct descriptor {
  std::string dacl_flags;
  std::vector<std::string> aces;  // "type;flags;rights;;;trustee"
};

// Reads "D:<flags>(ace)(ace)..." and refuses anything else (an owner, a group, a SACL).
descriptor parse(const std::string& sddl) {
  descriptor d;
  EXPECT_EQ(sddl.rfind("D:", 0), 0u) << sddl;
  size_t at = sddl.find('(');
  d.dacl_flags = sddl.substr(2, at - 2);
  while (at != std::string::npos) {
    size_t end = sddl.find(')', at);
    EXPECT_NE(end, std::string::npos) << sddl;
    d.aces.push_back(sddl.substr(at + 1, end - at - 1));
    at = sddl.find('(', end);
    EXPECT_TRUE(at == std::string::npos || at == end + 1) << "text between entries: " << sddl;
  }
  return d;
}

TEST(PrivateFolder, DescriptorGrantsOnlySystemAndAdministratorsInheritedAndProtected) {
  char sddl[256];
  ASSERT_EQ(private_folder_sddl(nullptr, sddl, sizeof sddl), 0);
  descriptor d = parse(sddl);
  EXPECT_EQ(d.dacl_flags, "P") << "not protected: the parent's entries would apply";
  EXPECT_EQ(d.aces, (std::vector<std::string>{"A;OICI;FA;;;SY", "A;OICI;FA;;;BA"}));

  // A process that is not an Administrator also needs its own user, and nobody else.
  ASSERT_EQ(private_folder_sddl("S-1-5-21-1004336348-1177238915-682003330-1001", sddl, sizeof sddl), 0);
  d = parse(sddl);
  EXPECT_EQ(d.dacl_flags, "P");
  EXPECT_EQ(d.aces, (std::vector<std::string>{"A;OICI;FA;;;SY", "A;OICI;FA;;;BA",
                                              "A;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1001"}));
}

TEST(PrivateFolder, RefusesWhatIsNotASidAndWhatDoesNotFit) {
  char sddl[256] = "x";
  for (const char* bad : {"", "WD", "S-1-", "S-1-1-0)(A;;FA;;;WD", "S-1-5--1", "S-1-5-"}) {
    EXPECT_EQ(private_folder_sddl(bad, sddl, sizeof sddl), -1) << bad;
    EXPECT_STREQ(sddl, "");
  }
  char small[20];
  EXPECT_EQ(private_folder_sddl(nullptr, small, sizeof small), -1);
}

TEST(PrivateFolder, NameCarriesEveryRandomByte) {
  uint8_t random[PRIVATE_FOLDER_RANDOM_BYTES];
  for (size_t i = 0; i < sizeof random; ++i) random[i] = static_cast<uint8_t>(0x11 * i);
  char name[64];
  ASSERT_EQ(private_folder_name(random, name, sizeof name), 0);
  EXPECT_STREQ(name, "Corvane-00112233445566778899aabbccddeeff");
  char small[40];
  EXPECT_EQ(private_folder_name(random, small, sizeof small), -1) << "a cut name is another folder";
}

}  // namespace
