// A page that records every message the program posts to it, for the UI workers' tests.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "base/wow64_win.h"
#include "product/ui_post.h"

namespace recording_page {

inline std::mutex lock;
inline std::vector<std::string> posted;

inline void record(const char* json) {
  std::lock_guard<std::mutex> hold(lock);
  posted.emplace_back(json);
}

// Starts recording afresh; the workers' telemetry fails at once instead of looking for the
// real stats host.
inline void attach() {
  SetEnvironmentVariableW(L"http_proxy", L"http://127.0.0.1:9");
  posted.clear();
  ui_set_post_sink(record);
}

inline void detach() { ui_set_post_sink(nullptr); }

// A 32-bit process with WOW64 redirection off loads DLLs and COM servers from the 64-bit system
// folder, where they fail; the workers keep the thread's own view outside the file calls that
// need it off. This counts the messages posted from inside such a scope.
inline int posted_with_redirection_off;
inline void attach_noting_redirection() {
  attach();
  posted_with_redirection_off = 0;
  ui_set_post_sink([](const char* json) {
    posted_with_redirection_off += fs_redirection_is_off();
    record(json);
  });
}

// The progress event the page receives for a stage and percent.
inline std::string progress(const char* stage, int percent) {
  return std::string("{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"") + stage +
         "\",\"percent\":" + std::to_string(percent) + "}}";
}

}  // namespace recording_page
