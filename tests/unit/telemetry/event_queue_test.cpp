// The queue's list (capacity, close events first) and the delivery paths and wire bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "telemetry/delivery_path.h"
#include "telemetry/event_queue.h"
#include "json_check.h"

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
