#include "product/ui_messages.h"

#include "base/bounded_text.h"

// Callers pass only fixed stage, terminal and outcome words, so no escaping is needed here.
int ui_format_progress(const char* stage, int percent, char* out, size_t size) {
  return text_format(out, size, "{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"%s\",\"percent\":%d}}",
                     stage ? stage : "", percent)
             ? 0
             : -1;
}

int ui_format_terminal(const char* stage, const char* terminal, const char* outcome, char* out, size_t size) {
  return text_format(out, size,
                     "{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"%s\",\"terminal\":"
                     "\"%s\",\"outcome\":\"%s\"}}",
                     stage ? stage : "", terminal ? terminal : "", outcome ? outcome : "")
             ? 0
             : -1;
}

int ui_format_response(int32_t id, const char* result, char* out, size_t size) {
  if (text_format(out, size, "{\"type\":\"response\",\"id\":%d,\"result\":%s}", static_cast<int>(id),
                  result ? result : "null"))
    return 0;
  if (size) out[0] = '\0';
  return -1;
}
