#include <gtest/gtest.h>

#include <cstring>

#include "app/bounded_text.h"
#include "state/install_dir.h"
#include "state/json_field.h"
#include "state/os_names.h"
#include "telemetry/timestamp.h"

TEST(BoundedText, CopiesTruncateAndTerminate) {
  char small[4];
  EXPECT_EQ(text_copy(small, "abcdef"), 0);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(text_copy(small, "ab"), 1);
  EXPECT_EQ(text_append(small, "cd"), 0);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(text_copy(small, nullptr), 1);
  EXPECT_STREQ(small, "");
  char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ(text_append(unterminated, "q"), 0);  // repaired, never read past the field
  EXPECT_EQ(strlen(unterminated), 2u);
  char formatted[6];
  EXPECT_EQ(text_format(formatted, sizeof formatted, "%d-%s", 12, "abcdef"), 0);
  EXPECT_STREQ(formatted, "12-ab");
}

TEST(JsonStringField, FlatLookup) {
  char out[16];
  EXPECT_EQ(json_string_field("{\"a\" : \"x\", \"host_prefix\":\"dev-\"}", "host_prefix", out, sizeof out), 0);
  EXPECT_STREQ(out, "dev-");
  EXPECT_EQ(json_string_field("{\"k\":\t:: \"v\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "v");
  EXPECT_EQ(json_string_field("{\"k\":\"0123456789abcdefXYZ\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "0123456789abcde");  // cut to size-1
  EXPECT_EQ(json_string_field("{\"k\":\"a\\\"b\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "a\\");  // no escapes understood
}

TEST(JsonStringField, MissingOrMalformed) {
  char out[16] = "stale";
  EXPECT_EQ(json_string_field("{\"k\":5}", "k", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(json_string_field("{\"kk\":\"v\"}", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field("{\"k\":\"unterminated", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field(nullptr, "k", out, sizeof out), -1);
  // Only the first occurrence counts, even when a later one is well formed.
  EXPECT_EQ(json_string_field("{\"k\":1,\"k\":\"v\"}", "k", out, sizeof out), -1);
}

TEST(InstallDir, PathInFolder) {
  const char* dir = "C:\\Program Files\\Corvane Labs\\Corvane";
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\Corvane\\CorvaneUninstall.exe", dir), 1);
  EXPECT_EQ(path_in_folder("c:\\program files\\corvane labs\\corvane\\sub\\x.exe", dir), 1);
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\Corvane\\x.exe", "C:\\Program Files\\Corvane Labs\\Corvane\\\\"), 1);
  EXPECT_EQ(path_in_folder("C:\\Program Files\\Corvane Labs\\CorvaneOld\\x.exe", dir), 0);
  EXPECT_EQ(path_in_folder("C:\\Temp\\CorvaneUninstall.exe", dir), 0);
  EXPECT_EQ(path_in_folder("x.exe", dir), 0);
  EXPECT_EQ(path_in_folder("C:\\a\\x.exe", ""), 0);
}

TEST(InstallDir, HostPrefixFromFileName) {
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-dev.exe"), "dev-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-DEV.EXE"), "dev-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\Downloads\\CorvaneSetup-stage.exe"), "stage-");
  EXPECT_STREQ(host_prefix_from_exe_name("C:\\dev-\\CorvaneSetup.exe"), "");
  EXPECT_STREQ(host_prefix_from_exe_name("C:/d/-dev.exe"), "dev-");  // the bare suffix is a name too
  EXPECT_STREQ(host_prefix_from_exe_name("-stage.exe"), "stage-");
  EXPECT_STREQ(host_prefix_from_exe_name("CorvaneSetup-dev.exe.bak"), "");
}

TEST(OsNames, Architecture) {
  EXPECT_STREQ(os_architecture_text(1, 0x8664, 0), "x64");
  EXPECT_STREQ(os_architecture_text(1, 0xAA64, 9), "ARM64");
  EXPECT_STREQ(os_architecture_text(1, 0x014C, 9), "x86");
  EXPECT_STREQ(os_architecture_text(1, 0x1234, 9), "x64");   // unknown machine: the processor decides
  EXPECT_STREQ(os_architecture_text(0, 0, 12), "x86");       // ARM64 without IsWow64Process2
  EXPECT_STREQ(os_architecture_text(0, 0, 9), "x64");
}

TEST(Timestamp, Format) {
  char out[TIMESTAMP_BUFFER];
  format_utc_timestamp({2026, 3, 5, 7, 8, 9, 10}, out, sizeof out);
  EXPECT_STREQ(out, "2026-03-05T07:08:09.010Z");
}

TEST(Timestamp, UnixSecondsFromFiletime) {
  constexpr uint64_t TICKS = 10000000;
  EXPECT_EQ(unix_seconds_from_filetime(11644473600ULL * TICKS), 0u);
  EXPECT_EQ(unix_seconds_from_filetime((11644473600ULL + 1767225600ULL) * TICKS + TICKS - 1), 1767225600u);
  EXPECT_EQ(unix_seconds_from_filetime(0), 0u);  // a clock before 1970 does not wrap around
}
