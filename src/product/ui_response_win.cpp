// Answers to the page's invokes. Each is formatted into a buffer of its own size and always
// reaches the page whole: a result that does not fit is replaced by {} rather than cut.
#include <cstring>

#include "base/log.h"
#include "product/ui_messages.h"
#include "product/ui_post.h"

namespace {

void send_response_within(size_t size, int32_t id, const char* result, const char* label) {
  char message[UI_STATE_RESPONSE_SIZE];
  if (size > sizeof message) size = sizeof message;
  if (ui_format_response(id, result, message, size) != 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "%s JSON too large for response buffer (%d bytes); replying without it", label,
              static_cast<int>(result ? strlen(result) : 0));
    ui_format_response(id, "{}", message, size);
  }
  ui_post_json(message);
}

}  // namespace

void ui_send_response(int32_t id, const char* result) {
  send_response_within(UI_RESPONSE_MESSAGE_SIZE, id, result, "response");
}

void ui_send_null_response(int32_t id) { send_response_within(UI_NULL_RESPONSE_SIZE, id, nullptr, "response"); }

void ui_send_state_response(int32_t id, const char* result, const char* label) {
  send_response_within(UI_STATE_RESPONSE_SIZE, id, result, label);
}
