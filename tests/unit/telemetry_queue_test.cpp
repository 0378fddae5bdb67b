// The queue's list (capacity, close events first) and the delivery paths and wire bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "telemetry/delivery_path.h"
#include "telemetry/event_queue.h"
#include "telemetry_json_check.h"

namespace {

std::vector<std::string> drain(event_list* list) {
  std::vector<std::string> names;
  while (queued_event* r = event_list_pop(list)) names.push_back(r->event_id);
  return names;
}

}  // namespace

TEST(EventList, CloseEventsGoFirstInReverseOrder) {
  std::vector<queued_event> records(5);
  const char* names[] = {"corvane.installer.run", "corvane.installer.page", "corvane.installer.close",
                         "corvane.uninstaller.close", "corvane.installer.CLOSE"};
  event_list list{};
  for (int i = 0; i < 5; ++i) {
    records[i] = queued_event{};
    snprintf(records[i].event_name, sizeof records[i].event_name, "%s", names[i]);
    snprintf(records[i].event_id, sizeof records[i].event_id, "%d", i);
    ASSERT_EQ(event_list_push(&list, &records[i]), 0);
  }
  EXPECT_EQ(list.count, 5);
  EXPECT_EQ(drain(&list), (std::vector<std::string>{"3", "2", "0", "1", "4"}));
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.head, nullptr);
  EXPECT_EQ(list.tail, nullptr);
}

TEST(EventList, CloseIntoEmptyListThenAppend) {
  queued_event close{}, run{};
  snprintf(close.event_name, sizeof close.event_name, "corvane.installer.close");
  snprintf(close.event_id, sizeof close.event_id, "c");
  snprintf(run.event_id, sizeof run.event_id, "r");
  event_list list{};
  event_list_push(&list, &close);
  event_list_push(&list, &run);  // the tail must have been set by the head insert
  EXPECT_EQ(drain(&list), (std::vector<std::string>{"c", "r"}));
}

TEST(EventList, SixtyFifthIsRefusedUntilOneLeaves) {
  std::vector<queued_event> records(EVENT_QUEUE_CAPACITY + 2);
  event_list list{};
  for (int i = 0; i < EVENT_QUEUE_CAPACITY; ++i) ASSERT_EQ(event_list_push(&list, &records[i]), 0);
  snprintf(records[64].event_name, sizeof records[64].event_name, "corvane.installer.close");
  EXPECT_EQ(event_list_push(&list, &records[64]), -1);  // a close event is no exception
  EXPECT_EQ(list.count, EVENT_QUEUE_CAPACITY);
  EXPECT_EQ(event_list_pop(&list), &records[0]);
  EXPECT_EQ(event_list_push(&list, &records[65]), 0);
}

TEST(DeliveryPaths, OrderLabelsAndUrls) {
  delivery_path p[DELIVERY_PATH_COUNT];
  delivery_paths_build("corvane.org", p);
  const char* labels[] = {"https_org", "https_com", "https_net", "http_org", "http_com", "http_net"};
  for (int i = 0; i < DELIVERY_PATH_COUNT; ++i) EXPECT_STREQ(p[i].label, labels[i]);
  char url[256];
  stats_url(&p[0], "dev-", "corvane.installer.run", url, sizeof url);
  EXPECT_STREQ(url, "https://dev-stats.corvane.org/?event=corvane.installer.run");
  stats_url(&p[4], nullptr, "corvane.installer.run", url, sizeof url);
  EXPECT_STREQ(url, "http://stats.corvane.com/?event=corvane.installer.run");
  delivery_paths_build(nullptr, p);
  EXPECT_STREQ(p[1].label, "https_net");
  EXPECT_STREQ(delivery_path_label("ftp", "x.net.org"), "http_net");
  EXPECT_STREQ(delivery_path_label("https", "example"), "https_com");
}

TEST(DeliveryPaths, WireBodyTagsThePathAndRejectsBadBodies) {
  std::string body = "{\"event\":\"e\"}";
  std::vector<char> out(body.size() + DELIVERY_TAG_ROOM);
  ASSERT_EQ(delivery_wire_body(body.c_str(), "https_net", out.data(), out.size()), 0);
  flat_json j = parse_flat_json(out.data());
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.keys.back(), "stats_delivery_path");
  EXPECT_EQ(std::string(out.data()), "{\"event\":\"e\",\"stats_delivery_path\":\"https_net\"}");
  EXPECT_EQ(delivery_wire_body("{\"a\":1", "http_com", out.data(), out.size()), -1);
  EXPECT_STREQ(out.data(), "");
  EXPECT_EQ(delivery_wire_body("", "http_com", out.data(), out.size()), -1);
  EXPECT_EQ(delivery_wire_body(nullptr, "http_com", out.data(), out.size()), -1);
  char small[20];
  EXPECT_EQ(delivery_wire_body(body.c_str(), "http_com", small, sizeof small), -1);
}
