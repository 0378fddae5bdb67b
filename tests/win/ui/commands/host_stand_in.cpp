#include "host_stand_in.h"

#include "recording_page.h"
#include "ui/ui_host.h"

namespace host_stand_in {
record host;
}  // namespace host_stand_in

using host_stand_in::host;

void ui_post_close() {
  ++host.close_requests;
  std::lock_guard<std::mutex> hold(recording_page::lock);
  host.posted_before_close = recording_page::posted.size();
}

void ui_enable_close() { host.close_enabled = 1; }

void ui_set_close_confirmation(const char* text, const char* caption) {
  host.confirm_text = text ? text : "";
  host.confirm_caption = caption ? caption : "";
}

bool ui_host_user_confirmed_close() { return host.user_confirmed_close; }
