// The session-data GET and the background fetch under Wine, over real TLS through the
// vendor stand-in: the host and query, the 429 rule, the merge and the server clock.
#include <windows.h>

#include <cstring>
#include <string>

#include "vendor_stand_in.h"
#include "state/session_fetch.h"
#include "state/session_get.h"

using namespace net_test;

namespace {

using VendorSession = VendorTest;

int g_completions = 0;
void count_completion(install_state*) { ++g_completions; }

attribution_context* fresh_context(install_state* state) {
  static attribution_context context;
  context = attribution_context{};
  context.state = state;
  context.on_complete = count_completion;
  strcpy(context.motw_prefix, "stage-");
  strcpy(context.motw_domain, "corvane.org");
  strcpy(context.motw_sid, "Ab12Cd34Ef56");
  return &context;
}

}  // namespace

TEST_F(VendorSession, GetReadsTheAnswerAndTheRetryDelay) {
  static char response[SESSION_RESPONSE_SIZE];
  int delay = 0;
  vendor_config(R"({"session": {"match": "click", "utm_source": "mail"}})");
  EXPECT_EQ(session_get("download.corvane.com", "/v1/session-data?os_name=W", response, sizeof response, &delay), 200);
  EXPECT_TRUE(parse_flat_json(response).valid) << response;
  EXPECT_EQ(parse_flat_json(response).values["utm_source"], "mail");
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 1u);
  EXPECT_EQ(gets[0].values["scheme"], "https");
  EXPECT_EQ(gets[0].values["user_agent"], "CorvaneInstaller/2.0.266.0 session-fetch");

  vendor_config(R"({"faults": [{"kind": "status", "status": 429, "headers": {"Retry-After": "120"}, "times": 1},
                               {"kind": "status", "status": 429, "headers": {"Retry-After": "Wed, 21 Oct 2026 07:28:00 GMT"}}]})");
  EXPECT_EQ(session_get("download.corvane.com", "/v1/session-data", response, sizeof response, &delay), 429);
  EXPECT_EQ(delay, 5000);
  EXPECT_EQ(session_get("download.corvane.com", "/v1/session-data", response, sizeof response, &delay), 429);
  EXPECT_EQ(delay, 1000);

  vendor_config(R"({"refuse_connect": true})");
  EXPECT_EQ(session_get("download.corvane.com", "/v1/session-data", response, sizeof response, &delay), -1);
}

TEST_F(VendorSession, FetchAfterOne429MergesAndNeverSendsAGeneratedId) {
  vendor_config(R"({"faults": [{"kind": "status", "status": 429, "headers": {"Retry-After": "1"}, "times": 1}],
                    "session": {"match": "click", "utm_campaign": "spring", "user_id": "web-7",
                                "user_datetime": "20260115T08:00:00Z", "current_timestamp": 1800000000,
                                "download_datetime": "2026-01-15T08:00:00Z"}})");
  install_state state{};
  strcpy(state.user_id, "generated-this-run");
  strcpy(state.os_name, "Windows 11 Pro");
  g_completions = 0;
  session_fetch(fresh_context(&state));
  EXPECT_EQ(g_completions, 1);
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[1].values["host"], "stage-download.corvane.org");
  EXPECT_EQ(gets[1].values["query"], "s=Ab12Cd34Ef56&os_name=Windows%2011%20Pro");
  EXPECT_STREQ(state.utm_campaign, "spring");
  EXPECT_STREQ(state.user_id, "web-7");
  EXPECT_STREQ(state.user_date, "20260115");
  EXPECT_EQ(state.server_timestamp, 1800000000u);
  std::string log = log_text();
  EXPECT_NE(log.find("session_fetch: GET https://stage-download.corvane.org/v1/session-data?s=Ab12Cd34Ef56&os_name="),
            std::string::npos) << log;
  EXPECT_NE(log.find("[WARN] [Installer] session_fetch: 429 from worker, sleeping 1000 ms before retry"),
            std::string::npos);
  EXPECT_NE(log.find("ENG-828 session-data (bg): match=click, download_datetime=\"2026-01-15T08:00:00Z\", "
                     "user_date=\"20260115\", server_timestamp=1800000000"),
            std::string::npos) << log;
}

TEST_F(VendorSession, NoMatchKeepsTheStateButTakesTheClock) {
  vendor_config(R"({"session": {"match": "none", "utm_campaign": "spring", "current_timestamp": 1767225600}})");
  install_state state{};
  strcpy(state.user_id, "kept");
  attribution_context* c = fresh_context(&state);
  c->user_id_persisted = 1;
  session_fetch(c);
  EXPECT_STREQ(state.utm_campaign, "");
  EXPECT_EQ(state.server_timestamp, 1767225600u);
  EXPECT_EQ(vendor_requests("GET")[0].values["query"], "s=Ab12Cd34Ef56&user_id=kept");
  EXPECT_NE(log_text().find("match=none"), std::string::npos);
}

TEST_F(VendorSession, FailuresAndOldClocksChangeNothing) {
  vendor_config(R"({"session": {"match": "click", "current_timestamp": 1700000000}})");
  install_state state{};
  session_fetch(fresh_context(&state));
  EXPECT_EQ(state.server_timestamp, 0u);
  EXPECT_NE(log_text().find("session-data current_timestamp 1700000000 out of range, falling back to the local clock"),
            std::string::npos);
  vendor_config(R"({"faults": [{"kind": "status", "status": 503}], "session": {"match": "click", "utm_term": "t"}})");
  g_completions = 0;
  session_fetch(fresh_context(&state));
  EXPECT_EQ(g_completions, 1);
  EXPECT_STREQ(state.utm_term, "");
  EXPECT_NE(log_text().find("session_fetch: failed (status=503, elapsed="), std::string::npos);
}
