#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "state/motw.h"

namespace {

std::string ascii_of(const std::vector<uint8_t>& bytes, size_t size = MOTW_TEXT_BUFFER) {
  std::vector<char> out(size, 'Z');
  motw_text_from_bytes(bytes.data(), bytes.size(), out.data(), out.size());
  return out.data();
}

std::vector<uint8_t> utf16_with_mark(const std::u16string& text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(c & 0xFF);
    bytes.push_back(c >> 8);
  }
  return bytes;
}

std::string value_of(const char* text, const char* key) {
  char out[MOTW_VALUE_BUFFER] = "stale";
  if (motw_find_value(text, key, out, sizeof out) == 0) return out;
  EXPECT_STREQ(out, "") << "a missing value leaves the buffer empty";
  return "<none>";
}

template <bool (*derive)(const char*, char*, size_t)>
std::string derived(const char* url) {
  char out[64] = "stale";
  return derive(url, out, sizeof out) ? out : "<none>";
}
const auto prefix_of = derived<motw_host_prefix>;
const auto sid_of = derived<motw_session_id>;
const auto domain_of = derived<motw_vendor_domain>;

}  // namespace

TEST(MotwText, EncodingsBecomeTheSameAscii) {
  const char* ini = "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://x/\r\n";
  std::vector<uint8_t> ansi(ini, ini + strlen(ini));
  std::vector<uint8_t> utf8 = {0xEF, 0xBB, 0xBF};
  utf8.insert(utf8.end(), ansi.begin(), ansi.end());
  EXPECT_EQ(ascii_of(ansi), ini);
  EXPECT_EQ(ascii_of(utf8), ini);
  EXPECT_EQ(ascii_of(utf16_with_mark(u"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://x/\r\n")), ini);
}

TEST(MotwText, NonAsciiIsMarkedOrDropped) {
  EXPECT_EQ(ascii_of({'a', 0xC3, 0xA9, 'b'}), "a??b");               // raw bytes: each one a "?"
  EXPECT_EQ(ascii_of(utf16_with_mark(u"a\u00e9b\u20acc")), "a?bc");  // Latin-1 marked, the rest dropped
  std::vector<uint8_t> odd = utf16_with_mark(u"ab");
  odd.push_back('c');  // half a code unit at the end is ignored
  EXPECT_EQ(ascii_of(odd), "ab");
  EXPECT_EQ(ascii_of({0xFF, 0xFE}), "");
  EXPECT_EQ(ascii_of({'a', 'b', 'c', 'd'}, 3), "ab");
}

TEST(MotwValue, FirstMatchingLineWins) {
  const char* text =
      "[ZoneTransfer]\r;HostUrl=https://comment/\n  \thostURL =spaced\r\nHostUrlX=other\n"
      "\t HOSTURL=  https://dl/a b \t\r\nHostUrl=https://second/\n";
  EXPECT_EQ(value_of(text, "HostUrl"), "https://dl/a b");
  EXPECT_EQ(value_of(text, "ReferrerUrl"), "<none>");
  EXPECT_EQ(value_of("HostUrl=", "HostUrl"), "");
  EXPECT_EQ(value_of("Host", "HostUrl"), "<none>");
  std::string long_line = "HostUrl=" + std::string(3000, 'u');
  EXPECT_EQ(value_of(long_line.c_str(), "HostUrl").size(), MOTW_VALUE_BUFFER - 1);
}

TEST(MotwHostPrefix, DownloadHostLabels) {
  EXPECT_EQ(prefix_of("https://download.corvane.com/CorvaneSetup.exe"), "");
  EXPECT_EQ(prefix_of("https://dev-download.corvane.net/x"), "dev-");
  EXPECT_EQ(prefix_of("HTTP://STAGE-DOWNLOAD.CORVANE.ORG?x#y"), "stage-");
  EXPECT_EQ(prefix_of("https://www.corvane.com/download"), "<none>");
  EXPECT_EQ(prefix_of("https://download.evilcorvane.com/"), "<none>");
  EXPECT_EQ(prefix_of("https://corvane.com/"), "<none>");           // the name must not start the host
  EXPECT_EQ(prefix_of("https://download.corvane.com:443/"), "<none>");
  EXPECT_EQ(prefix_of("https://dev-download.corvane.io/"), "<none>");
  EXPECT_EQ(prefix_of("download.corvane.com"), "<none>");
  EXPECT_EQ(prefix_of(("https://download.corvane.com" + std::string(120, 'm') + ".com").c_str()), "<none>");
}

TEST(MotwSessionId, QueryParameterOfEightToThirtyTwoCharacters) {
  EXPECT_EQ(sid_of("https://h/p?s=abc"), "<none>");
  EXPECT_EQ(sid_of("https://h/p?s=Ab12Cd34Ef56"), "Ab12Cd34Ef56");
  EXPECT_EQ(sid_of("https://h/p?a=1&s=abcdefgh#frag"), "abcdefgh");
  EXPECT_EQ(sid_of("https://h/p?as=abcdefgh"), "<none>");
  EXPECT_EQ(sid_of("https://h/p?s=abcdefgh-1"), "<none>");
  EXPECT_EQ(sid_of(("https://h/p?s=" + std::string(32, 'a')).c_str()), std::string(32, 'a'));
  EXPECT_EQ(sid_of(("https://h/p?s=" + std::string(33, 'a')).c_str()), "<none>");
  EXPECT_EQ(sid_of("https://h/p?s=short&s=longenough1"), "longenough1");
  EXPECT_EQ(sid_of("https://h/p?ss=abcdefgh&S=abcdefgh"), "<none>");
}

TEST(MotwVendorDomain, HostMatchesOneOfTheProgramsOwnVariants) {
  EXPECT_EQ(domain_of("https://dev-download.corvane.net/x"), "corvane.net");
  EXPECT_EQ(domain_of("HTTPS://Download.CORVANE.ORG./x"), "corvane.org");
  EXPECT_EQ(domain_of("http://corvane.com"), "corvane.com");
  EXPECT_EQ(domain_of("https://user:pw@download.corvane.com:8443/"), "corvane.com");
  EXPECT_EQ(domain_of("https://a@b@corvane.com/"), "<none>");
  EXPECT_EQ(domain_of("https://[::1]/"), "<none>");
  EXPECT_EQ(domain_of("ftp://corvane.com/"), "<none>");
  EXPECT_EQ(domain_of("https://notcorvane.com/"), "<none>");
  EXPECT_EQ(domain_of("https://dev-download.corvane.net.example.com/"), "<none>");
  EXPECT_EQ(domain_of("https://cor*vane.corvane.com/"), "<none>");
  EXPECT_EQ(domain_of("https://.../"), "<none>");
}

TEST(MotwParse, ReferrerOnlyFillsWhatHostUrlLeftOpen) {
  motw_result r;
  motw_parse("HostUrl=https://dev-download.corvane.org/f?s=hostsession1\r\n"
             "ReferrerUrl=https://www.corvane.net/?s=referrer0001\r\n",
             &r);
  EXPECT_TRUE(r.found_prefix && r.found_sid && r.found_domain);
  EXPECT_STREQ(r.host_prefix, "dev-");
  EXPECT_STREQ(r.sid, "hostsession1");
  EXPECT_STREQ(r.host_domain, "corvane.org");

  motw_parse("ReferrerUrl=https://www.corvane.net/get?s=referrer0001\nHostUrl=https://cdn.corvane.com/f\n", &r);
  EXPECT_FALSE(r.found_prefix);
  EXPECT_STREQ(r.host_domain, "corvane.com");  // HostUrl's domain is kept
  EXPECT_STREQ(r.sid, "referrer0001");

  motw_parse("ZoneId=3\n", &r);
  EXPECT_FALSE(r.found_prefix || r.found_sid || r.found_domain);
  EXPECT_STREQ(r.host_domain, "");
}
