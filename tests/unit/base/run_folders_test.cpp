// Who reaches which folder of a run, evaluated from the descriptors the program creates them
// with, the way Windows grants access on open: the allow entries that name the token's user or
// one of its enabled groups add up; a deny-only group (Administrators in a UAC-filtered
// token) matches nothing but deny entries.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "base/run_folders.h"

namespace {

constexpr uint32_t FULL = 0x1F01FF;
constexpr uint32_t READ = 0x1 | 0x8 | 0x80 | 0x20000 | 0x100000;  // list/read data, EA, attributes, control, sync
constexpr uint32_t TRAVERSE = 0x20;                                // execute a file, pass through a folder
constexpr uint32_t WRITE = 0x2 | 0x4 | 0x10 | 0x100;               // add file/data, subfolder/append, EA, attributes
constexpr uint32_t DELETE_RIGHTS = 0x10000 | 0x40;                 // delete it, delete a child
constexpr uint32_t OWNERSHIP = 0x40000 | 0x80000;                  // change its DACL, take it over

const char* const INTERACTIVE = "S-1-5-21-3623811015-3361044348-30300820-1001";
const char* const OTHER_USER = "S-1-5-21-3623811015-3361044348-30300820-1003";
const char* const ADMINISTRATORS = "S-1-5-32-544";
const char* const USERS = "S-1-5-32-545";
const char* const EVERYONE = "S-1-1-0";
const char* const AUTHENTICATED = "S-1-5-11";

struct identity {
  const char* name;
  std::string user;
  std::set<std::string> enabled_groups;
  std::set<std::string> deny_only_groups;
};

std::string expand_alias(const std::string& trustee) {
  if (trustee == "SY") return "S-1-5-18";
  if (trustee == "BA") return ADMINISTRATORS;
  return trustee;
}

uint32_t parse_rights(const std::string& rights) {
  if (rights == "FA") return FULL;
  EXPECT_EQ(rights.rfind("0x", 0), 0u) << "rights the evaluator does not know: " << rights;
  return static_cast<uint32_t>(strtoul(rights.c_str(), nullptr, 16));
}

// The access the descriptor grants the identity on the folder and on what is created in it.
uint32_t granted(const std::string& sddl, const identity& who) {
  EXPECT_EQ(sddl.rfind("D:P(", 0), 0u) << "not a protected DACL alone: the parent's entries would apply: " << sddl;
  uint32_t allowed = 0, denied = 0;
  for (size_t at = sddl.find('('); at != std::string::npos; at = sddl.find('(', at + 1)) {
    std::string ace = sddl.substr(at + 1, sddl.find(')', at) - at - 1);
    size_t f1 = ace.find(';'), f2 = ace.find(';', f1 + 1), f3 = ace.find(';', f2 + 1);
    std::string type = ace.substr(0, f1), flags = ace.substr(f1 + 1, f2 - f1 - 1);
    std::string trustee = expand_alias(ace.substr(ace.rfind(';') + 1));
    uint32_t rights = parse_rights(ace.substr(f2 + 1, f3 - f2 - 1));
    EXPECT_EQ(flags, "OICI") << "entry not on the folder and everything below: " << ace;
    bool as_user = trustee == who.user || who.enabled_groups.count(trustee);
    if (type == "A" && as_user) allowed |= rights;
    if (type == "D" && (as_user || who.deny_only_groups.count(trustee))) denied |= rights;
  }
  return allowed & ~denied;
}

// The host runs on the elevated token (an over-the-shoulder administrator's reaches the folders
// through the same Administrators entry); the browser on the interactive user's filtered one.
const identity HOST = {"elevated host", INTERACTIVE, {ADMINISTRATORS, USERS, EVERYONE, AUTHENTICATED}, {}};
const identity BROWSER = {"browser (filtered token)", INTERACTIVE, {USERS, EVERYONE, AUTHENTICATED}, {ADMINISTRATORS}};
const identity OTHER = {"another standard user", OTHER_USER, {USERS, EVERYONE, AUTHENTICATED}, {}};

enum class reach { none, modify, full };

void expect_reach(run_folder kind, const identity& who, reach expected) {
  char sddl[512];
  // The private folder of an elevated run carries no user entry; the others name the interactive user.
  ASSERT_EQ(run_folder_sddl(kind, kind == run_folder::run_private ? nullptr : INTERACTIVE, sddl, sizeof sddl), 0);
  uint32_t got = granted(sddl, who);
  SCOPED_TRACE(std::string(who.name) + " on " + sddl);
  switch (expected) {
    case reach::none: EXPECT_EQ(got, 0u); break;
    case reach::modify:
      EXPECT_EQ(got & (READ | TRAVERSE | WRITE | 0x10000), READ | TRAVERSE | WRITE | 0x10000);
      EXPECT_EQ(got & OWNERSHIP, 0u) << "the browser could lock the host out of its cleanup";
      break;
    case reach::full: EXPECT_EQ(got, FULL); break;
  }
}

TEST(RunFolders, EachIdentityReachesOnlyWhatItUses) {
  struct row {
    run_folder kind;
    const identity* who;
    reach expected;
  };
  const row rows[] = {
      {run_folder::run_private, &HOST, reach::full},   {run_folder::browser_data, &HOST, reach::full},
      {run_folder::run_private, &BROWSER, reach::none}, {run_folder::browser_data, &BROWSER, reach::modify},
      {run_folder::run_private, &OTHER, reach::none},  {run_folder::browser_data, &OTHER, reach::none},
  };
  for (const row& r : rows) expect_reach(r.kind, *r.who, r.expected);
}

TEST(RunFolders, BrowserFoldersNeedAValidInteractiveUser) {
  char sddl[512] = "x";
  for (run_folder kind : {run_folder::browser_data}) {
    EXPECT_EQ(run_folder_sddl(kind, nullptr, sddl, sizeof sddl), -1);
    EXPECT_STREQ(sddl, "");
    for (const char* bad : {"", "S-1-", "BA", "S-1-5-21-1)(A;OICI;FA;;;WD", "S-1-5--21"})
      EXPECT_EQ(run_folder_sddl(kind, bad, sddl, sizeof sddl), -1) << bad;
    EXPECT_EQ(run_folder_sddl(kind, INTERACTIVE, sddl, 60), -1) << "a cut descriptor would drop the user's entry";
  }
}

}  // namespace
