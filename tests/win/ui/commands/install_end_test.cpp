// The app's launch from the install screen and the screen's end: the page's launch_app runs
// the launcher once on its thread; a successful install left without a launch is launched by
// the end, unless the person confirmed leaving without it. The close event says which.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/bounded_text.h"
#include "fake_app.h"
#include "page_commands.h"
#include "ui/commands/installer_commands.h"

namespace {

using namespace ui_command_test;

const bool FAKE_APP_CHECKED = (install_test::fake_app_run_if_named(), true);

class InstallEnd : public PageCommands {
 protected:
  void SetUp() override {
    PageCommands::SetUp();
    text_copy(state.install_dir, app.folder().path().c_str());
    log_set_min_level(LOG_LEVEL_DEBUG);  // the close event's body is logged at debug
  }
  void TearDown() override {
    log_set_min_level(LOG_LEVEL_INFO);
    PageCommands::TearDown();
  }
  // The close event's body as the telemetry builder logged it.
  std::string close_event() const {
    std::string text = main_log.text();
    size_t at = text.find("[tracking] attempting 'corvane.installer.close'");
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
  }
  test_support::captured_log main_log;
  install_test::fake_install app{"corvane-ui-launch"};
};

TEST_F(InstallEnd, PageLaunchRunsOnceOnItsThread) {
  ui_install_flags.begun = 1;
  invoke(page_command("launch_app"));  // before the install has ended: refused, so the end still launches
  EXPECT_EQ(ui_install_flags.launch_thread.get(), nullptr);
  EXPECT_EQ(ui_install_flags.launch_requested, 0);
  ui_install_flags.succeeded = 1;
  ui_install_flags.exit_stage = 3;
  invoke(page_command("launch_app"));
  HANDLE thread = ui_install_flags.launch_thread.get();
  ASSERT_NE(thread, nullptr);
  invoke(page_command("launch_app"));
  EXPECT_EQ(ui_install_flags.launch_thread.get(), thread) << "one launch thread";
  ui_install_finish(&state);
  EXPECT_EQ(ui_install_flags.launch_thread.get(), nullptr);
  EXPECT_EQ(ui_install_flags.state, nullptr);
  EXPECT_EQ(app.launched(), "\"" + app.exe() + "\" --run_source=installer\r\n") << "started exactly once";
  std::string event = close_event();
  EXPECT_NE(event.find("\"message\":\"Installer end\""), std::string::npos) << event;
  EXPECT_NE(event.find("\"launch_outcome\":\"launch_accepted\",\"exit_stage\":\"finish\""), std::string::npos) << event;
  EXPECT_FALSE(main_log.has("Window closed after success"));
}

TEST_F(InstallEnd, SuccessLeftWithoutLaunchIsLaunchedByTheEnd) {
  ui_install_flags.begun = 1;
  ui_install_flags.succeeded = 1;
  ui_install_flags.exit_stage = 2;
  invoke(page_command("exit_sibling"));  // the window closes without the page's launch
  ui_install_finish(&state);
  EXPECT_TRUE(main_log.has("[INFO] [Installer] Window closed after success — launching Corvane"));
  EXPECT_EQ(app.launched(), "\"" + app.exe() + "\" --run_source=installer\r\n");
  EXPECT_NE(close_event().find("\"launch_outcome\":\"launch_accepted\",\"exit_stage\":\"post_install\""),
            std::string::npos)
      << close_event();
}

TEST_F(InstallEnd, ConfirmedExitWithoutLaunchLaunchesNothing) {
  ui_install_flags.begun = 1;
  ui_install_flags.succeeded = 1;
  host_stand_in::host.user_confirmed_close = 1;
  ui_install_finish(&state);
  EXPECT_TRUE(main_log.has("[INFO] [Installer] User confirmed exit-without-launch — skipping implicit Corvane launch"));
  EXPECT_EQ(app.launched(2000), "");
  EXPECT_NE(close_event().find("\"launch_outcome\":\"confirmed_no_launch\""), std::string::npos) << close_event();
}

}  // namespace
