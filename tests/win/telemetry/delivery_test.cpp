// Telemetry under Wine through the vendor stand-in: the body on the wire, the six paths and
// their order, the retry lines, and the queue (capacity, close events first, shutdown).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "vendor_stand_in.h"
#include "telemetry/tracking.h"

using namespace net_test;

namespace {

char* heap_body(const std::string& text) {
  char* body = static_cast<char*>(malloc(text.size() + 1));
  memcpy(body, text.c_str(), text.size() + 1);
  return body;
}

install_state sample_state() {
  install_state s{};
  strcpy(s.user_id, "0197a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b");
  strcpy(s.utm_source, "news\"letter\\\n");
  strcpy(s.os_name, "Windows 11 Pro");
  s.analytics_enabled = 1;
  return s;
}

std::vector<std::string> stats_labels() {
  std::vector<std::string> labels;
  for (auto& r : vendor_records("stats.jsonl")) labels.push_back(parse_flat_json(r.values["body"]).values["stats_delivery_path"]);
  return labels;
}

using VendorDelivery = VendorTest;

}  // namespace

// Before tracking_start the builder delivers on the calling thread.
TEST_F(VendorDelivery, InlineEventArrivesAsValidJsonOverHttps) {
  install_state s = sample_state();
  char id[40];
  ASSERT_EQ(tracking_send_event(&s, "corvane.installer.run", "Installer launched", nullptr, nullptr, id, sizeof id), 0)
      << log_text();
  auto stats = vendor_records("stats.jsonl");
  ASSERT_EQ(stats.size(), 1u);
  flat_json& record = stats[0];
  EXPECT_EQ(record.values["scheme"], "https");
  EXPECT_EQ(record.values["host"], "stats.corvane.com");
  EXPECT_EQ(record.values["query"], "event=corvane.installer.run");
  EXPECT_EQ(record.values["content_type"], "application/json");
  EXPECT_EQ(record.values["user_agent"], "CorvaneInstaller/2.0.266.0");
  EXPECT_EQ(record.values["body_utf8"], "true");
  flat_json body = parse_flat_json(record.values["body"]);
  ASSERT_TRUE(body.valid) << record.values["body"];
  ASSERT_EQ(body.keys.size(), 42u);
  EXPECT_EQ(body.keys[40], "source");
  EXPECT_EQ(body.values["event_id"], id);
  EXPECT_EQ(body.values["utm_source"], "news\"letter\\\n");
  EXPECT_EQ(body.values["stats_delivery_path"], "https_com");
  EXPECT_TRUE(std::regex_match(body.values["event_time"], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")));
  EXPECT_NE(log_text().find("[tracking] sent 'corvane.installer.run' event_id=" + std::string(id) + " (200) in "),
            std::string::npos);
}

TEST_F(VendorDelivery, RefusedConnectFallsBackToPlainHttp) {
  vendor_config(R"({"faults": [], "refuse_connect": true})");
  install_state s = sample_state();
  strcpy(s.host_domain, "corvane.org");
  strcpy(s.host_prefix, "dev-");
  ASSERT_EQ(tracking_send(&s, "corvane.installer.finish", "Install complete"), 0);
  EXPECT_EQ(stats_labels(), (std::vector<std::string>{"http_org"}));
  EXPECT_EQ(vendor_records("stats.jsonl")[0].values["host"], "dev-stats.corvane.org");
  std::vector<std::string> connects;
  for (auto& r : vendor_requests("CONNECT")) connects.push_back(r.values["host"]);
  EXPECT_EQ(connects, (std::vector<std::string>{"dev-stats.corvane.org", "dev-stats.corvane.com",
                                                "dev-stats.corvane.net"}));
  std::string log = log_text();
  EXPECT_NE(log.find("[tracking] retry 3/6 for 'corvane.installer.finish' event_id="), std::string::npos) << log;
  EXPECT_NE(log.find(": transport failure (https/corvane.net, "), std::string::npos) << log;
}

TEST_F(VendorDelivery, ErrorStatusTriesTheNextPathAtOnce) {
  vendor_config(R"({"faults": [{"kind": "status", "host": "stats.corvane.com", "scheme": "https", "status": 503}]})");
  install_state s = sample_state();
  ASSERT_EQ(tracking_send(&s, "corvane.installer.start", "Install started (silent)"), 0);
  EXPECT_EQ(stats_labels(), (std::vector<std::string>{"https_com", "https_net"}));
  std::string log = log_text();
  EXPECT_NE(log.find("[WARN] [Installer] [tracking] retry 1/6 for 'corvane.installer.start' event_id="),
            std::string::npos) << log;
  EXPECT_NE(log.find(": http 503 (https/corvane.com, "), std::string::npos);
  EXPECT_NE(log.find("via https/corvane.net"), std::string::npos);
}

TEST_F(VendorDelivery, RetryAfterPausesOncePerEventBeforeTheNextPath) {
  vendor_config(R"({"faults": [{"kind": "status", "host": "*stats*", "scheme": "https", "status": 429,
                                "headers": {"Retry-After": "1"}, "times": 2}]})");
  install_state s = sample_state();
  ASSERT_EQ(tracking_send(&s, "corvane.installer.start", "Install started (silent)"), 0) << log_text();
  EXPECT_EQ(stats_labels(), (std::vector<std::string>{"https_com", "https_net", "https_org"}));
  std::string log = log_text();
  const std::string pause = "the stats host asks to retry after 1 s — waiting 1000 ms";
  size_t first = log.find(pause);
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(pause, first + 1), std::string::npos) << "paused twice for one event:\n" << log;
}

TEST_F(VendorDelivery, SixFailuresDropTheEvent) {
  vendor_config(R"({"faults": [{"kind": "status", "host": "*stats*", "status": 500}]})");
  EXPECT_EQ(tracking_send(nullptr, "corvane.uninstaller.run", "Uninstaller ran"), -1);
  EXPECT_EQ(stats_labels(), (std::vector<std::string>{"https_com", "https_net", "https_org", "http_com", "http_net",
                                                      "http_org"}));
  std::string log = log_text();
  EXPECT_NE(log.find("[ERROR] [Installer] [tracking] dropped 'corvane.uninstaller.run' event_id="), std::string::npos);
  EXPECT_NE(log.find(" after 6 attempts"), std::string::npos);
  EXPECT_EQ(log.find("retry 6/6"), std::string::npos);
}

TEST_F(VendorDelivery, InvalidBodyIsDroppedBeforeAnyRequest) {
  EXPECT_EQ(tracking_deliver("", "", "corvane.installer.run", "id-1", "{\"event\":\"x\""), -1);
  EXPECT_EQ(tracking_deliver("", "", "corvane.installer.run", "id-2", ""), -1);
  EXPECT_TRUE(vendor_records("requests.jsonl").empty());
  EXPECT_NE(log_text().find("[tracking] dropped 'corvane.installer.run' event_id=id-1: invalid body"),
            std::string::npos);
}

// Each of these suites runs in a process of its own: a process has one queue.
using VendorQueue = VendorTest;
using VendorShutdown = VendorTest;

// Hold the sender on its first POST, then fill the queue behind it.
TEST_F(VendorQueue, CapacityCloseFirstAndDrainOnShutdown) {
  vendor_config(R"({"faults": [{"kind": "delay", "host": "*stats*", "seconds": 2, "times": 1}]})");
  tracking_start();
  const std::string body = "{\"event\":\"e\"}";
  ASSERT_EQ(tracking_enqueue("", "", "corvane.installer.run", "held", heap_body(body)), 0);
  ASSERT_TRUE(vendor_wait("requests.jsonl", 2, 10000));  // CONNECT and the held POST
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(tracking_enqueue("", "", "corvane.installer.page", ("w" + std::to_string(i)).c_str(), heap_body(body)), 0);
  ASSERT_EQ(tracking_enqueue("", "", "corvane.installer.close", "close", heap_body(body)), 0);
  for (int i = 10; i < 63; ++i)
    ASSERT_EQ(tracking_enqueue("", "", "corvane.installer.page", ("w" + std::to_string(i)).c_str(), heap_body(body)), 0);
  EXPECT_EQ(tracking_enqueue("", "", "corvane.installer.page", "overflow", heap_body(body)), -1);
  tracking_shutdown();
  EXPECT_EQ(tracking_enqueue("", "", "corvane.installer.page", "late", heap_body(body)), -1);
  tracking_shutdown();  // a second call neither waits nor logs
  // The held event may arrive twice (its first path can time out while held); the queued
  // ones each arrive once, the close event before every page event that waited.
  std::vector<std::string> order;
  for (auto& r : vendor_records("stats.jsonl"))
    if (r.values["query"] != "event=corvane.installer.run") order.push_back(r.values["query"]);
  ASSERT_EQ(order.size(), 64u);
  EXPECT_EQ(order[0], "event=corvane.installer.close");
  EXPECT_EQ(vendor_records("stats.jsonl")[0].values["query"], "event=corvane.installer.run");
  std::string log = log_text();
  EXPECT_NE(log.find("[tracking] dropped 'corvane.installer.page' event_id=overflow before dispatch (buffer full: 64)"),
            std::string::npos) << log;
  EXPECT_NE(log.find("[tracking] dropped 'corvane.installer.page' event_id=late before dispatch (sent after shutdown)"),
            std::string::npos);
  EXPECT_EQ(log.find("shutdown timeout"), std::string::npos);
  size_t close_sent = log.find("[tracking] sent 'corvane.installer.close' event_id=close");
  size_t w0_sent = log.find("[tracking] sent 'corvane.installer.page' event_id=w0 ");
  ASSERT_NE(close_sent, std::string::npos);
  ASSERT_NE(w0_sent, std::string::npos);
  EXPECT_LT(close_sent, w0_sent);
}

// A stats host that accepts and never answers cannot hold the process past the bound.
TEST_F(VendorShutdown, SilentStatsHostIsAbandonedAfterTheBound) {
  vendor_config(R"({"faults": [{"kind": "hang", "host": "*stats*", "seconds": 120}]})");
  tracking_start();
  for (int i = 0; i < 4; ++i) tracking_send(nullptr, "corvane.installer.run", "Installer launched");
  tracking_shutdown();
  std::string log = log_text();
  std::smatch m;
  ASSERT_TRUE(std::regex_search(log, m, std::regex(R"(\[WARN\] \[Installer\] \[tracking\] shutdown timeout after 20000ms \((\d+) events still pending\))")))
      << log;
  EXPECT_GE(std::stoi(m[1].str()), 1);
  EXPECT_NE(log.find("transport failure (https/corvane.com, "), std::string::npos);  // the hang ended each attempt
}
