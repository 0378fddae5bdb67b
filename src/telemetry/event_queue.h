// The list behind the event queue: bounded, close events at the head. The lock, the events
// and the sender thread live in the Windows layer; this part only moves records.
#pragma once

#include <cstddef>

constexpr int EVENT_QUEUE_CAPACITY = 64;

struct queued_event {
  queued_event* next;
  char host_prefix[64];
  char host_domain[32];
  char event_name[128];
  char event_id[37];
  char* body;  // owned, heap
};

struct event_list {
  queued_event* head;
  queued_event* tail;
  int count;
};

// Links the record in (a close event at the head, any other at the tail); -1 when the list
// already holds EVENT_QUEUE_CAPACITY records (the record is not linked).
int event_list_push(event_list* list, queued_event* record);

// Unlinks and returns the head, or null when the list is empty.
queued_event* event_list_pop(event_list* list);
