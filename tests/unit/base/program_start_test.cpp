// How the program names what it starts: never a name Windows would search for.
#include <gtest/gtest.h>

#include <string>

#include "base/program_start.h"

namespace {

const char* const SYSTEM = "C:\\Windows\\Sysnative";

struct started {
  int result;
  std::string application, command;
};

started resolve(const char* command_line, size_t size = 1024) {
  char application[1024] = "garbage", command[1024] = "garbage";
  int result = resolve_program(command_line, SYSTEM, application, size, command, size);
  return {result, application, command};
}

TEST(ResolveProgram, BareToolNamesComeFromTheSystemFolderQuoted) {
  started got = resolve("msiexec.exe /i \"C:\\Users\\me\\Temp\\p.msi\" /qn");
  EXPECT_EQ(got.result, 0);
  EXPECT_EQ(got.application, "C:\\Windows\\Sysnative\\msiexec.exe");
  EXPECT_EQ(got.command, "\"C:\\Windows\\Sysnative\\msiexec.exe\" /i \"C:\\Users\\me\\Temp\\p.msi\" /qn");
  got = resolve("schtasks.exe /Delete /TN \"\\CorvaneLabs\\CorvaneUICheck\" /F");
  EXPECT_EQ(got.application, "C:\\Windows\\Sysnative\\schtasks.exe");
  EXPECT_EQ(got.command, "\"C:\\Windows\\Sysnative\\schtasks.exe\" /Delete /TN \"\\CorvaneLabs\\CorvaneUICheck\" /F");
  got = resolve("schtasks.exe");
  EXPECT_EQ(got.command, "\"C:\\Windows\\Sysnative\\schtasks.exe\"");
}

TEST(ResolveProgram, QuotedFullPathsStartThatFile) {
  started got = resolve("\"C:\\Users\\me\\Temp\\Corvane Setup\\CorvaneUninstall.exe\" /S /UNINSTALLBEFOREINSTALL");
  EXPECT_EQ(got.result, 0);
  EXPECT_EQ(got.application, "C:\\Users\\me\\Temp\\Corvane Setup\\CorvaneUninstall.exe");
  EXPECT_EQ(got.command, "\"C:\\Users\\me\\Temp\\Corvane Setup\\CorvaneUninstall.exe\" /S /UNINSTALLBEFOREINSTALL");
  EXPECT_EQ(resolve("\"\\\\server\\share\\x.exe\"").application, "\\\\server\\share\\x.exe");
}

// Anything Windows would have to look for, or read in more than one way, is not started.
TEST(ResolveProgram, NamesThatWouldBeSearchedForAreRefused) {
  for (const char* line : {"", "  ", "C:\\Program Files\\x.exe /S", "\"x.exe\" /S", "\"sub\\x.exe\"", "tools\\x.exe",
                           "..\\x.exe", "\"C:\\unterminated.exe", "C:x.exe", "\"\"", "\"C:\\x.exe\"/S"}) {
    started got = resolve(line);
    EXPECT_EQ(got.result, -1) << line;
    EXPECT_EQ(got.application, "") << line;
    EXPECT_EQ(got.command, "") << line;
  }
}

TEST(ResolveProgram, ALineThatDoesNotFitIsRefusedRatherThanCut) {
  EXPECT_EQ(resolve("msiexec.exe /x {A}", 64).result, 0);
  EXPECT_EQ(resolve("msiexec.exe /x {A-LONGER-PRODUCT-CODE-THAN-FITS-IN-SIXTY-FOUR}", 64).result, -1);
}

}  // namespace
