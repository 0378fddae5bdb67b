// Fixtures of the uninstall engine's Windows tests: the product's footprint planted and
// wiped, stand-in processes and services (this test executable started in a child role,
// see main.cpp); the generic helpers are the shared ones of win_support.h.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win_support.h"

namespace uninstall_test {

using namespace test_support;

// Child roles of the test executable: "--child <role> ...".
constexpr int CHILD_CLOSED_BY_WINDOW = 7;  // exit code of a window child that honoured WM_CLOSE
int run_child_role(int argc, char** argv);

// Runs a command line without a window and waits; its exit code, -1 when it did not start
// or end in time.
int run_command(const std::string& command, DWORD timeout_ms = 300000);

// A copy of the test executable under exe_name (in a scratch folder, or any folder such as
// the product's install folder) running a child role; ended at the end.
class child_process {
 public:
  child_process(const scratch_dir& dir, const char* exe_name, const char* role)
      : child_process(dir.path(), exe_name, role) {}
  child_process(const std::string& folder, const char* exe_name, const char* role);
  ~child_process();
  DWORD pid() const { return info_.dwProcessId; }
  // Waits until the child has a top-level window.
  bool wait_for_window() const;
  // Exit code once it ended within timeout_ms, else STILL_ACTIVE.
  DWORD exit_code(DWORD timeout_ms) const;

 private:
  PROCESS_INFORMATION info_ = {};
};

// A service running this executable in the "service" role. mode: "obedient" stops when
// asked; "stuck" answers a stop with stop-pending and never stops.
class test_service {
 public:
  test_service(const char* name, const char* mode, bool start);
  ~test_service();
  DWORD process_id() const;
  DWORD state() const;  // 0 when it cannot be queried (deleted)

 private:
  std::string name_;
};
bool service_exists(const char* name);


// Everything of the product this test prefix may hold, in both views and hives.
void wipe_product_footprint();

// Wipes the product's footprint before and after each test.
class ProductFootprint : public ::testing::Test {
 protected:
  void SetUp() override { wipe_product_footprint(); }
  void TearDown() override { wipe_product_footprint(); }
};

}  // namespace uninstall_test
