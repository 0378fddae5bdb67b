#include "telemetry/event_queue.h"

#include "telemetry/event_names.h"

int event_list_push(event_list* list, queued_event* record) {
  if (list->count >= EVENT_QUEUE_CAPACITY) return -1;
  if (event_is_close(record->event_name)) {
    record->next = list->head;
    list->head = record;
    if (!list->tail) list->tail = record;
  } else {
    record->next = nullptr;
    if (list->tail)
      list->tail->next = record;
    else
      list->head = record;
    list->tail = record;
  }
  list->count++;
  return 0;
}

queued_event* event_list_pop(event_list* list) {
  queued_event* record = list->head;
  if (!record) return nullptr;
  list->head = record->next;
  if (!list->head) list->tail = nullptr;
  list->count--;
  record->next = nullptr;
  return record;
}
