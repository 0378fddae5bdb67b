#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/proxy_config.h"

namespace {

void put_u32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> connection_value(uint32_t flags, const std::string& server, const std::string& bypass,
                                      const std::string& pac) {
  std::vector<uint8_t> out;
  put_u32(&out, 0x46);
  put_u32(&out, 7);
  put_u32(&out, flags);
  for (const std::string* text : {&server, &bypass, &pac}) {
    put_u32(&out, static_cast<uint32_t>(text->size()));
    out.insert(out.end(), text->begin(), text->end());
  }
  out.resize(out.size() + 32);  // the tail the system writes after the script URL
  return out;
}

}  // namespace

TEST(ProxyConnectionValue, FlagsAndTextsAsTheSystemWritesThem) {
  struct row {
    uint32_t flags;
    const char *server, *pac;
    int auto_detect, use_pac, use_manual;
  } rows[] = {
      {0x1, "", "", 0, 0, 0},                                       // direct only
      {0x9, "", "", 1, 0, 0},                                       // direct + auto-detect (the default)
      {0x3, "proxy:8080", "", 0, 0, 1},                             // manual
      {0x1, "proxy:8080", "", 0, 0, 0},                             // a remembered server, switched off
      {0x5, "", "http://wpad/proxy.pac", 0, 1, 0},                  // script
      {0x4, "", "", 0, 0, 0},                                       // script flag without a URL
      {0xF, "p:1", "http://s/p.pac", 1, 1, 1},                      // all of them
  };
  for (const row& r : rows) {
    auto value = connection_value(r.flags, r.server, "*.local;<local>", r.pac);
    proxy_settings s;
    ASSERT_EQ(proxy_settings_from_connection(value.data(), value.size(), &s), 0) << r.flags;
    EXPECT_EQ(s.auto_detect, r.auto_detect) << r.flags;
    EXPECT_EQ(s.use_pac, r.use_pac) << r.flags;
    EXPECT_EQ(s.use_manual, r.use_manual) << r.flags;
    EXPECT_STREQ(s.server, r.server);
    EXPECT_STREQ(s.bypass, "*.local;<local>");
    EXPECT_STREQ(s.pac_url, r.pac);
  }
}

TEST(ProxyConnectionValue, ShortOverlongOrCutValuesAreRefusedWhole) {
  auto good = connection_value(0x3, "proxy:8080", "", "");
  proxy_settings s;
  for (size_t cut : {size_t{0}, size_t{11}, size_t{15}, size_t{20}}) {
    EXPECT_EQ(proxy_settings_from_connection(good.data(), cut, &s), -1) << cut;
    EXPECT_EQ(s.use_manual, 0);
  }
  auto lying = good;
  lying[12] = 0xFF;  // the server's length runs past the value
  EXPECT_EQ(proxy_settings_from_connection(lying.data(), lying.size(), &s), -1);
  auto huge = connection_value(0x3, std::string(PROXY_SERVER_SIZE, 'p'), "", "");
  EXPECT_EQ(proxy_settings_from_connection(huge.data(), huge.size(), &s), -1);
  EXPECT_STREQ(s.server, "");
  EXPECT_EQ(proxy_settings_from_connection(nullptr, 0, &s), -1);
}

TEST(ProxyLooseValues, EnableSwitchAndScript) {
  proxy_settings s;
  ASSERT_EQ(proxy_settings_from_values(1, "p:3128", "<local>", nullptr, &s), 0);
  EXPECT_TRUE(s.use_manual && !s.use_pac && !s.auto_detect);
  ASSERT_EQ(proxy_settings_from_values(0, "p:3128", nullptr, "http://s/p.pac", &s), 0);
  EXPECT_TRUE(!s.use_manual && s.use_pac);
  EXPECT_STREQ(s.pac_url, "http://s/p.pac");
  ASSERT_EQ(proxy_settings_from_values(1, "", nullptr, nullptr, &s), 0);
  EXPECT_FALSE(s.use_manual);
  EXPECT_EQ(proxy_settings_from_values(1, std::string(PROXY_SERVER_SIZE, 'p').c_str(), nullptr, nullptr, &s), -1);
  EXPECT_FALSE(s.use_manual);
}

TEST(ProxyServerList, PicksTheSchemesEntry) {
  struct row {
    const char *list, *scheme, *expected;
  } rows[] = {
      {"proxy:8080", "https", "proxy:8080"},
      {"http=h:80;https=s:443", "https", "s:443"},
      {"http=h:80;https=s:443", "http", "h:80"},
      {"http=h:80", "https", nullptr},                // no entry for https: direct
      {"ftp=f:21 any:1", "https", "any:1"},           // an entry for every scheme, blank-separated
      {"https=http://s:8443", "https", "s:8443"},     // a scheme in front of the server
      {"https=;http=h:80", "https", nullptr},         // an empty entry is none
      {"", "http", nullptr},
  };
  for (const row& r : rows) {
    char out[64] = "x";
    int result = proxy_for_scheme(r.list, r.scheme, out, sizeof out);
    if (r.expected) {
      EXPECT_EQ(result, 0) << r.list;
      EXPECT_STREQ(out, r.expected) << r.list;
    } else {
      EXPECT_EQ(result, -1) << r.list;
    }
  }
  char small[4];
  EXPECT_EQ(proxy_for_scheme("proxy:8080", "http", small, sizeof small), -1);  // never a cut name
}

TEST(ProxyBypass, PatternsAndLocalNames) {
  struct row {
    const char *list, *host;
    int bypassed;
  } rows[] = {
      {"*.corvane.com", "update-dl.corvane.com", 1},
      {"*.corvane.com", "corvane.com", 0},
      {"*.CORVANE.com", "Stats.Corvane.COM", 1},
      {"<local>", "intranet", 1},
      {"<local>", "intranet.example", 0},
      {"10.*; 192.168.*", "192.168.1.4", 1},
      {"http://*.example.org", "a.example.org", 1},
      {"*a*a*a*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 0},
      {"", "anything", 0},
      {nullptr, "anything", 0},
  };
  for (const row& r : rows) EXPECT_EQ(proxy_bypassed(r.list, r.host), r.bypassed) << (r.list ? r.list : "null");
}

TEST(ProxyManualChoice, ProxyOrDirectWithItsReason) {
  proxy_settings s;
  ASSERT_EQ(proxy_settings_from_values(1, "http=h:80", "*.corvane.org", nullptr, &s), 0);
  char out[64];
  const char* reason = nullptr;
  EXPECT_EQ(proxy_manual_choice(&s, "http", "stats.corvane.com", out, sizeof out, &reason), PROXY_MANUAL_PROXY);
  EXPECT_STREQ(out, "h:80");
  EXPECT_EQ(reason, nullptr);
  EXPECT_EQ(proxy_manual_choice(&s, "http", "stats.corvane.org", out, sizeof out, &reason), PROXY_MANUAL_DIRECT);
  EXPECT_STREQ(reason, "on the bypass list");
  EXPECT_EQ(proxy_manual_choice(&s, "https", "stats.corvane.com", out, sizeof out, &reason), PROXY_MANUAL_DIRECT);
  EXPECT_STREQ(reason, "no proxy for this scheme in the list");
}
