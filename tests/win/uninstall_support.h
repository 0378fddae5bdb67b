// Fixtures of the uninstall engine's Windows tests: the product's footprint planted and
// wiped, scratch folders, stand-in processes and services (this test executable started
// in a child role, see uninstall_main.cpp), and the log read back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace uninstall_test {

// Child roles of the test executable: "--child <role> ...".
constexpr int CHILD_CLOSED_BY_WINDOW = 7;  // exit code of a window child that honoured WM_CLOSE
int run_child_role(int argc, char** argv);

std::string self_path();
// Runs a command line without a window and waits; its exit code, -1 when it did not start
// or end in time.
int run_command(const std::string& command, DWORD timeout_ms = 300000);
std::string read_file(const std::string& path);
bool exists(const std::string& path);
void write_file(const std::string& path, const std::string& text = "x");
// Removes a folder and everything in it without entering links (test cleanup only).
void wipe(const std::string& path);

// A fresh folder under the temp folder, wiped at both ends.
class scratch_dir {
 public:
  explicit scratch_dir(const char* name);
  ~scratch_dir() { wipe(path_); }
  const std::string& path() const { return path_; }
  std::string sub(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The main log channel written to a file of its own for one test.
class captured_log {
 public:
  captured_log();
  ~captured_log();
  std::string text() const { return read_file(path_); }
  bool has(const std::string& line) const { return text().find(line) != std::string::npos; }
  int count(const std::string& line) const;

 private:
  std::string path_;
};

// A copy of the test executable under exe_name running a child role; ended at the end.
class child_process {
 public:
  child_process(const scratch_dir& dir, const char* exe_name, const char* role);
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

// Registry in an explicit view.
void set_sz(HKEY root, const std::string& key, const char* name, const std::string& value,
            REGSAM view = KEY_WOW64_64KEY, DWORD type = REG_SZ);
void set_dword(HKEY root, const std::string& key, const char* name, DWORD value, REGSAM view = KEY_WOW64_64KEY);
void create_key(HKEY root, const std::string& key, REGSAM view = KEY_WOW64_64KEY);
bool key_exists(HKEY root, const std::string& key, REGSAM view = KEY_WOW64_64KEY);
bool value_exists(HKEY root, const std::string& key, const char* name, REGSAM view = KEY_WOW64_64KEY);
void delete_key(HKEY root, const std::string& key, REGSAM view);

// Scheduled tasks through schtasks, and the task file the probe looks for.
void create_task(const std::string& name);
bool task_file_exists(const std::string& file_name);

// Known folders as UTF-8.
std::string known_folder(int csidl);

// A folder link at link_path to target: a Unix symbolic link, which is what Wine shows
// as a reparse point (its CreateSymbolicLink creates nothing).
bool make_folder_link(const std::string& link_path, const std::string& target);

// Everything of the product this test prefix may hold, in both views and hives.
void wipe_product_footprint();

// Wipes the product's footprint before and after each test.
class ProductFootprint : public ::testing::Test {
 protected:
  void SetUp() override { wipe_product_footprint(); }
  void TearDown() override { wipe_product_footprint(); }
};

}  // namespace uninstall_test
