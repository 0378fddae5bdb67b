// A page talking to the command handlers: invokes as bridge.js sends them, the answers the
// recording page received, the UI log captured, the host stand-in reset.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/log.h"
#include "host_stand_in.h"
#include "install/install_ui_worker.h"
#include "recording_page.h"
#include "ui/page_contract.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "win_support.h"

namespace ui_command_test {

inline std::string null_answer(int id) {
  return "{\"type\":\"response\",\"id\":" + std::to_string(id) + ",\"result\":null}";
}

class PageCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    recording_page::attach();
    host_stand_in::reset();
    ui_install_flags_reset(&state);
  }
  void TearDown() override {
    recording_page::detach();
    ui_install_flags_reset(nullptr);
  }
  // Sends one invoke to the page's dispatcher; the last message the page received after it.
  // Commands are named through page_command(), so a test of an unlisted name does not compile.
  std::string invoke(const char* cmd, const std::string& args = "{}", ui_message_fn page = ui_on_message_installer) {
    std::string json =
        "{\"type\":\"invoke\",\"id\":" + std::to_string(++last_id) + ",\"cmd\":\"" + cmd + "\",\"args\":" + args + "}";
    size_t before = recording_page::posted.size();
    page(json.c_str(), nullptr);
    return recording_page::posted.size() > before ? recording_page::posted.back() : "";
  }
  install_state state = {};
  int last_id = 0;
  test_support::captured_log ui_log{"InstallerUI", LOG_UI};
};

}  // namespace ui_command_test
