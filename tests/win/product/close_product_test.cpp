// Closing the running product against real processes and services under Wine: the app
// politely then by force, each service stopped politely then through its process.
#include <windows.h>

#include <gtest/gtest.h>

#include "product/close_product_win.h"
#include "product/product.h"
#include "product/product_places_win.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

TEST(UninstallCloseProcess, WindowIsAskedFirstThenForceIsUsed) {
  scratch_dir dir("uninstall-close-process");
  child_process polite(dir, "polite.exe", "window");
  child_process stubborn(dir, "stubborn.exe", "stubborn-window");
  child_process windowless(dir, "windowless.exe", "windowless");
  ASSERT_TRUE(polite.wait_for_window());
  ASSERT_TRUE(stubborn.wait_for_window());

  uint32_t long_wait = 600000;  // a wait would outlast the test's time limit
  EXPECT_EQ(close_process_gracefully(polite.pid(), &long_wait), 1);
  EXPECT_EQ(polite.exit_code(5000), static_cast<DWORD>(CHILD_CLOSED_BY_WINDOW)) << "closed through its window";

  // Without a window there is nobody to ask: terminated at once, not after the wait.
  EXPECT_EQ(close_process_gracefully(windowless.pid(), &long_wait), 1);
  EXPECT_EQ(windowless.exit_code(5000), 1u);

  uint32_t short_wait = 300;
  EXPECT_EQ(close_process_gracefully(stubborn.pid(), &short_wait), 1);
  EXPECT_EQ(stubborn.exit_code(5000), 1u) << "ignored WM_CLOSE, so terminated with exit code 1";
}

class UninstallCloseProduct : public ProductFootprint {};

TEST_F(UninstallCloseProduct, ClosesEveryCopyOfTheInstalledAppOnlyAndRemovesTheService) {
  char folder[MAX_PATH];
  ASSERT_EQ(product_install_dir(folder, sizeof folder), 0);
  scratch_dir install(scratch_dir::full_path, folder);
  scratch_dir elsewhere("uninstall-close-app-elsewhere");
  child_process first(install, PRODUCT_APP_EXE, "window");
  child_process second(install, PRODUCT_APP_EXE, "window");
  child_process other(elsewhere, PRODUCT_APP_EXE, "window");
  ASSERT_TRUE(first.wait_for_window());
  ASSERT_TRUE(second.wait_for_window());
  ASSERT_TRUE(other.wait_for_window());
  test_service service(PRODUCT_SERVICE_NAME, "obedient", true);
  captured_log log("Uninstaller");

  EXPECT_EQ(close_running_product(), 0);

  EXPECT_EQ(first.exit_code(5000), static_cast<DWORD>(CHILD_CLOSED_BY_WINDOW));
  EXPECT_EQ(second.exit_code(5000), static_cast<DWORD>(CHILD_CLOSED_BY_WINDOW));
  EXPECT_EQ(other.exit_code(500), static_cast<DWORD>(STILL_ACTIVE)) << "a Corvane.exe outside the install folder";
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Left running: " + elsewhere.sub(PRODUCT_APP_EXE) + " (pid " +
                      std::to_string(other.pid()) + ") is not the installed product"));
  EXPECT_FALSE(service_exists(PRODUCT_SERVICE_NAME));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Phase 1: Closing Corvane processes and services"));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Stopped Corvane UI"));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Service Corvane.Service: stopped gracefully"));
  EXPECT_FALSE(log.has("corvanedrv")) << "a service that is not installed gets no line";
  EXPECT_FALSE(log.has("WARN"));
}

TEST_F(UninstallCloseProduct, NothingRunningStillReportsTheAppStep) {
  captured_log log("Uninstaller");
  EXPECT_EQ(close_running_product(), 0);
  EXPECT_TRUE(log.has("Stopped Corvane UI"));
  EXPECT_EQ(log.count("Service "), 0);
}

class UninstallStopService : public ProductFootprint {};

TEST_F(UninstallStopService, StuckServiceIsEndedThroughItsProcess) {
  test_service service("CorvaneTestStuck", "stuck", true);
  DWORD pid = service.process_id();
  ASSERT_NE(pid, 0u);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  captured_log log("Uninstaller");

  stop_service("CorvaneTestStuck");  // 150 polls, about 15 s

  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "the service's process still runs";
  CloseHandle(process);
  EXPECT_TRUE(log.has("[WARN] [Uninstaller] Service CorvaneTestStuck did not stop gracefully — terminating PID " +
                      std::to_string(pid)));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Service CorvaneTestStuck: force-terminated"));
  EXPECT_TRUE(service_exists("CorvaneTestStuck")) << "stopping does not delete";
  delete_service("CorvaneTestStuck");
  EXPECT_FALSE(service_exists("CorvaneTestStuck"));
}

TEST_F(UninstallStopService, StoppedOrMissingServicesKillNothing) {
  test_service idle("CorvaneTestIdle", "obedient", false);
  captured_log log("Uninstaller");
  stop_service("CorvaneTestIdle");
  stop_service("CorvaneTestMissing");
  delete_service("CorvaneTestMissing");
  // The stop request is refused for a service that is not running; the outcome word is
  // the forced one although nothing needed killing.
  EXPECT_TRUE(log.has("Service CorvaneTestIdle: force-terminated"));
  EXPECT_FALSE(log.has("terminating PID"));
  EXPECT_FALSE(log.has("CorvaneTestMissing"));
}

}  // namespace
