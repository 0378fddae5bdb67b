#include <gtest/gtest.h>

#include <string>

#include "state/os_names.h"
#include "state/system_text.h"

namespace {

std::string name_of(uint32_t major, uint32_t minor, uint32_t build, int workstation) {
  char out[64];
  os_name_text(major, minor, build, workstation, out, sizeof out);
  return out;
}

std::string edition_of(uint32_t type) {
  char out[64];
  os_edition_text(type, out, sizeof out);
  return out;
}

std::string zone(int32_t bias, const char* name = "") {
  char out[128];
  timezone_text(bias, name, out, sizeof out);
  return out;
}

std::string browser(const char* progid) {
  char out[128];
  browser_from_progid(progid, out, sizeof out);
  return out;
}

std::string date_of(uint32_t seconds) {
  char out[32] = "stale";
  unix_date_text(seconds, out, sizeof out);
  return out;
}

}  // namespace

TEST(OsNames, WindowsTenAndElevenByBuildAlone) {
  EXPECT_EQ(name_of(10, 0, 21999, 1), "Windows 10");
  EXPECT_EQ(name_of(10, 0, 22000, 1), "Windows 11");
  EXPECT_EQ(name_of(10, 0, 26100, 0), "Windows Server");
  EXPECT_STREQ(os_server_edition(10, 0, 26100), "Server 2025");
  EXPECT_STREQ(os_server_edition(10, 0, 26099), "Server 2022");
  EXPECT_STREQ(os_server_edition(10, 0, 20348), "Server 2022");
  EXPECT_STREQ(os_server_edition(10, 0, 20347), "Server 2019");
  EXPECT_STREQ(os_server_edition(10, 0, 17763), "Server 2019");
  EXPECT_STREQ(os_server_edition(10, 0, 17762), "Server 2016");
}

TEST(OsNames, OlderReleasesAndUnknownVersions) {
  EXPECT_EQ(name_of(6, 3, 9600, 1), "Windows 8.1");
  EXPECT_EQ(name_of(6, 1, 7601, 0), "Windows Server");
  EXPECT_EQ(name_of(5, 2, 3790, 1), "Windows XP");
  EXPECT_EQ(name_of(5, 1, 2600, 0), "Windows XP");  // 5.1 and 5.0 servers keep the workstation name
  EXPECT_EQ(name_of(5, 0, 2195, 0), "Windows 2000");
  EXPECT_EQ(name_of(6, 4, 9841, 1), "Windows 6.4");
  EXPECT_STREQ(os_server_edition(6, 3, 9600), "Server 2012 R2");
  EXPECT_STREQ(os_server_edition(5, 0, 2195), "Server 2003");
  EXPECT_STREQ(os_server_edition(6, 4, 0), "Server");
}

TEST(OsNames, EditionsFromProductTypes) {
  EXPECT_EQ(edition_of(48), "Pro");
  EXPECT_EQ(edition_of(101), "Home");
  EXPECT_EQ(edition_of(162), "Pro for Workstations");
  EXPECT_EQ(edition_of(0), "SKU 0x0");
  EXPECT_EQ(edition_of(0x30000), "SKU 0x30000");
  EXPECT_EQ(edition_of(0xABCDEF12), "SKU 0xABCDEF12");
}

TEST(TimeZone, OffsetSignsFollowTheSideOfUtc) {
  EXPECT_EQ(zone(-60), "UTC+1:00");
  EXPECT_EQ(zone(300), "UTC-5:00");
  EXPECT_EQ(zone(-330), "UTC+5:30");
  EXPECT_EQ(zone(0), "UTC+0:00");
  EXPECT_EQ(zone(210), "UTC-3:30");
  EXPECT_EQ(zone(-345), "UTC+5:45");
  EXPECT_EQ(zone(30), "UTC-0:30");   // under an hour west keeps its minus
  EXPECT_EQ(zone(-30), "UTC+0:30");
  EXPECT_EQ(zone(-780, "Tonga Standard Time"), "UTC+13:00 (Tonga Standard Time)");
}

TEST(DefaultBrowser, TableOrderDecides) {
  EXPECT_EQ(browser("MSEdgeHTM"), "Edge");
  EXPECT_EQ(browser("ChromeHTML"), "Chrome");
  EXPECT_EQ(browser("IE.HTTPS"), "Internet Explorer");
  EXPECT_EQ(browser("FirefoxURL-308046B0AF4A39CB"), "Firefox");
  EXPECT_EQ(browser("BraveHTML"), "Brave");
  // Both "chrome" and "msedge" occur: chrome is tested first.
  EXPECT_EQ(browser("MSEdgeChromeHTML"), "Chrome");
  EXPECT_EQ(browser("AppX90nv6nhay5n6a98fnetv7tpk64pp35es"), "appx90nv6nhay5n6a98fnetv7tpk64pp35es");
  EXPECT_EQ(browser("Applications\\iexplore.exe"), "applications\\iexplore.exe");  // neither "ie." nor "ie\"
}

TEST(InstallDate, UtcCalendarDate) {
  EXPECT_EQ(date_of(0), "");
  EXPECT_EQ(date_of(1), "1970-01-01");
  EXPECT_EQ(date_of(951782400), "2000-02-29");
  EXPECT_EQ(date_of(951868799), "2000-02-29");
  EXPECT_EQ(date_of(1735689599), "2024-12-31");
  EXPECT_EQ(date_of(4294967295u), "2106-02-07");
}

TEST(AntivirusList, WholeNamesOnlyAndNeverPastTheField) {
  char list[16] = "";
  EXPECT_EQ(append_listed_name(list, sizeof list, "Defender"), 1);
  EXPECT_EQ(append_listed_name(list, sizeof list, ""), 0);
  EXPECT_EQ(append_listed_name(list, sizeof list, "Avir"), 1);
  EXPECT_STREQ(list, "Defender, Avir");
  EXPECT_EQ(append_listed_name(list, sizeof list, "X"), 0);  // ", X" would need 17 bytes
  EXPECT_STREQ(list, "Defender, Avir");
  char exact[6] = "";
  EXPECT_EQ(append_listed_name(exact, sizeof exact, "12345"), 1);
  EXPECT_EQ(append_listed_name(exact, sizeof exact, "6"), 0);
}

TEST(OsNames, Architecture) {
  EXPECT_STREQ(os_architecture_text(1, 0x8664, 0), "x64");
  EXPECT_STREQ(os_architecture_text(1, 0xAA64, 9), "ARM64");
  EXPECT_STREQ(os_architecture_text(1, 0x014C, 9), "x86");
  EXPECT_STREQ(os_architecture_text(1, 0x1234, 9), "x64");   // unknown machine: the processor decides
  EXPECT_STREQ(os_architecture_text(0, 0, 12), "x86");       // ARM64 without IsWow64Process2
  EXPECT_STREQ(os_architecture_text(0, 0, 9), "x64");
}
