// The session-data request (host, query) and the reading of the worker's answer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "state/session_query.h"
#include "state/session_response.h"

namespace {

std::string path_for(const char* sid, const char* user_id, const char* os_name) {
  char path[SESSION_PATH_SIZE];
  session_fetch_path(sid, user_id, os_name, path);
  return path;
}

}  // namespace

TEST(SessionQuery, PercentEncodingAndOrder) {
  EXPECT_EQ(path_for("Ab12Cd34Ef56", "u 1/\xc3\xa9", "Windows 11 Pro"),
            "/v1/session-data?s=Ab12Cd34Ef56&user_id=u%201%2F%C3%A9&os_name=Windows%2011%20Pro");
  EXPECT_EQ(path_for("", nullptr, "a-b_c.d~e"), "/v1/session-data?os_name=a-b_c.d~e");
  EXPECT_EQ(path_for("", "", ""), "/v1/session-data");
}

TEST(SessionQuery, SidMustBeEightToThirtyTwoAlphanumerics) {
  EXPECT_EQ(session_sid_usable("abcd1234"), 1);
  EXPECT_EQ(session_sid_usable(std::string(32, 'a').c_str()), 1);
  EXPECT_EQ(session_sid_usable(std::string(33, 'a').c_str()), 0);
  EXPECT_EQ(session_sid_usable("abc"), 0);
  EXPECT_EQ(session_sid_usable("abcd-1234"), 0);
  EXPECT_EQ(session_sid_usable(nullptr), 0);
  EXPECT_EQ(path_for("abcd-1234", nullptr, "W"), "/v1/session-data?os_name=W");
}

TEST(SessionQuery, ParameterThatMightNotFitIsLeftOut) {
  char path[SESSION_PATH_SIZE] = "/v1/session-data";
  int first = 1;
  // 16 + 1 + 2 + 3 x 79 = 256 > 255: skipped although the plain text would fit.
  query_append(path, "k", std::string(79, 'a').c_str(), &first);
  EXPECT_STREQ(path, "/v1/session-data");
  EXPECT_EQ(first, 1);
  query_append(path, "k", std::string(78, '/').c_str(), &first);  // 16 + 3 + 234 = 253
  EXPECT_EQ(strlen(path), 16u + 3u + 234u);
  EXPECT_EQ(first, 0);
  query_append(path, "x", "y", &first);  // 253 + 1 + 2 + 3 = 259
  EXPECT_EQ(strlen(path), 253u);
}

TEST(SessionQuery, HostFollowsTheMarkOfTheWeb) {
  char host[SESSION_HOST_SIZE];
  session_fetch_host("stage-", "corvane.org", host, sizeof host);
  EXPECT_STREQ(host, "stage-download.corvane.org");
  session_fetch_host("", "corvane.com", host, sizeof host);
  EXPECT_STREQ(host, "download.corvane.com");
  session_fetch_host(nullptr, "evil.example", host, sizeof host);
  EXPECT_STREQ(host, "download.corvane.com");
}

TEST(SessionResponse, RetryAfterRule) {
  EXPECT_EQ(session_retry_delay_ms(nullptr), 1000);
  EXPECT_EQ(session_retry_delay_ms("0"), 1000);
  EXPECT_EQ(session_retry_delay_ms("Wed, 21 Oct 2026 07:28:00 GMT"), 1000);
  EXPECT_EQ(session_retry_delay_ms(" \t3"), 3000);
  EXPECT_EQ(session_retry_delay_ms("120"), 5000);
  EXPECT_EQ(session_retry_delay_ms("99999999999999999999999"), 5000);
  EXPECT_EQ(session_retry_delay_ms("5"), 5000);
}

TEST(SessionResponse, ServerClockRange) {
  uint32_t v = 7;
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\": 1767225600}", &v), session_timestamp_kind::in_range);
  EXPECT_EQ(v, 1767225600u);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":2524608000,", &v), session_timestamp_kind::in_range);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":1700000000}", &v), session_timestamp_kind::out_of_range);
  EXPECT_EQ(v, 1700000000u);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":2524608001}", &v), session_timestamp_kind::out_of_range);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":4294967296}", &v), session_timestamp_kind::none);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":0}", &v), session_timestamp_kind::none);
  EXPECT_EQ(session_current_timestamp("{\"current_timestamp\":\"1767225600\"}", &v), session_timestamp_kind::none);
  EXPECT_EQ(session_current_timestamp("{}", &v), session_timestamp_kind::none);
  EXPECT_EQ(v, 0u);
}

TEST(SessionResponse, MergeFillsOnlyEmptyFields) {
  install_state s{};
  strcpy(s.utm_source, "tag-source");
  strcpy(s.user_id, "generated");
  strcpy(s.user_date, "20260301");
  char match[16];
  const char* body =
      "{\"match\":\"click\",\"utm_source\":\"worker\",\"utm_medium\":\"cpc\",\"gclid\":\"\",\"campaign_id\":\"c9\","
      "\"auto_install\":\"1\",\"user_id\":\"web-user\",\"user_datetime\":\"20251224T10:00:00Z\"}";
  EXPECT_EQ(session_merge(&s, body, 0, 0, match, nullptr), 1);
  EXPECT_STREQ(match, "click");
  EXPECT_STREQ(s.utm_source, "tag-source");
  EXPECT_STREQ(s.utm_medium, "cpc");
  EXPECT_STREQ(s.gclid, "");
  EXPECT_STREQ(s.campaign_id, "c9");
  EXPECT_STREQ(s.auto_install, "1");
  EXPECT_STREQ(s.user_id, "web-user");
  EXPECT_STREQ(s.user_date, "20251224");
}

TEST(SessionResponse, VersionTheVendorWouldNotIssueIsRefused) {
  install_state s{};
  char match[16];
  attribution_refusals refused{};
  EXPECT_EQ(session_merge(&s, "{\"match\":\"click\",\"app_version\":\"1\\..\\..\\X\",\"utm_term\":\"t\"}", 0, 0, match,
                          &refused), 1);
  EXPECT_STREQ(s.app_version, "");
  EXPECT_STREQ(s.utm_term, "t");  // the rest of the answer still counts
  ASSERT_EQ(refused.count, 1);
  EXPECT_STREQ(refused.items[0].key, "app_version");
  EXPECT_STREQ(refused.items[0].value, "1\\x5C..\\x5C..\\x5CX");
  EXPECT_EQ(session_merge(&s, "{\"match\":\"click\",\"app_version\":\"2.1.7\"}", 0, 0, match, &refused), 1);
  EXPECT_STREQ(s.app_version, "2.1.7");
  EXPECT_EQ(refused.count, 1);
}

TEST(SessionResponse, PersistedIdentityAndNoMatchStay) {
  install_state s{};
  strcpy(s.user_id, "kept");
  strcpy(s.user_date, "20250101");
  char match[16];
  const char* body = "{\"match\":\"click\",\"user_id\":\"web\",\"user_datetime\":\"2026\",\"utm_term\":\"t\"}";
  EXPECT_EQ(session_merge(&s, body, 1, 1, match, nullptr), 1);
  EXPECT_STREQ(s.user_id, "kept");
  EXPECT_STREQ(s.user_date, "20250101");
  EXPECT_EQ(session_merge(&s, "{\"match\":\"click\",\"user_datetime\":\"2026010\"}", 0, 0, match, nullptr), 1);
  EXPECT_STREQ(s.user_date, "20250101");  // seven characters are too few
  install_state none{};
  EXPECT_EQ(session_merge(&none, "{\"match\":\"none\",\"utm_term\":\"t\"}", 0, 0, match, nullptr), 0);
  EXPECT_EQ(session_merge(&none, "{\"utm_term\":\"t\"}", 0, 0, match, nullptr), 0);
  EXPECT_EQ(session_merge(&none, "{\"match\":\"a-very-long-match-text\",\"utm_term\":\"t\"}", 0, 0, match, nullptr), 1);
  EXPECT_STREQ(match, "a-very-long-mat");
  EXPECT_STREQ(none.utm_term, "t");
}
