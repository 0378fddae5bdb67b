// What the commands asked of the host window, recorded by a stand-in of its close guard and
// confirmation (the real ones need a window and are the host's own tests' subject).
#pragma once

#include <cstddef>
#include <string>

namespace host_stand_in {

struct record {
  int close_requests = 0;
  size_t posted_before_close = 0;  // messages the page had received when the close was asked
  int close_enabled = 0;
  std::string confirm_text, confirm_caption;
  int user_confirmed_close = 0;  // what the host reports after its window closed
};

extern record host;
inline void reset() { host = record{}; }

}  // namespace host_stand_in
