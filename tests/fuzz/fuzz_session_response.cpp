// The session worker's answer is outside input: the merge, the clock and the delay readers
// must stay inside the record's fields whatever the bytes are.
#include <cstdint>
#include <cstring>
#include <string>

#include "state/session_query.h"
#include "state/session_response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  install_state state{};
  char match[16];
  attribution_refusals refused{};
  session_merge(&state, text.c_str(), size & 1, size & 2, match, &refused);
  uint32_t stamp = 0;
  session_current_timestamp(text.c_str(), &stamp);
  session_retry_delay_ms(text.c_str());
  char path[SESSION_PATH_SIZE];
  session_fetch_path(text.c_str(), state.user_id, state.utm_source, path);
  if (strlen(path) >= SESSION_PATH_SIZE || strlen(state.user_date) >= sizeof state.user_date) __builtin_trap();
  return 0;
}
