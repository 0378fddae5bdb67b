// The Windows-layer tests' own helpers, one copy for every suite: files read and written by
// UTF-8 path, scratch folders, the main log channel captured to a file, folder links, and
// commands run to their end.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

std::wstring wide(const std::string& utf8);
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text = "x");
bool exists(const std::string& path);

// The test executable's path and folder; a name in the temp folder; a known folder (CSIDL).
std::string self_path();
std::string module_folder();
std::string temp_path(const std::string& name);
std::string known_folder(int csidl);

// Runs a command line without a window and waits; its exit code, -1 when it did not start
// or end in time. application: null to find the program from the command line; a Unix tool
// is named by its full path.
int run_and_wait(const std::string& command, DWORD timeout_ms, const wchar_t* application = nullptr);

// A scheduled task created from an XML fixture (Wine's schtasks takes no other form), and
// whether the task's file exists under the system's Tasks folder (its name without the
// leading backslash). A task that cannot be created fails the calling test.
void create_task(const std::string& name);
bool task_file_exists(const std::string& file_name);

// Removes a file, or a folder and everything in it without entering links (test cleanup only).
void wipe(const std::string& path);
// A link at link_path to target (a folder or a file): a Unix symbolic link, which is what Wine
// shows as a reparse point (its CreateSymbolicLink creates nothing). True once it shows as one.
bool make_link(const std::string& link_path, const std::string& target);
// Removes a link itself: from the Unix side under Wine, which removes a link's target when
// asked through Windows.
void remove_link(const std::string& link_path);

// A fresh folder under the temp folder (or at a full path, such as the product's install
// folder, with its parents made), wiped at both ends.
class scratch_dir {
 public:
  explicit scratch_dir(const char* name);
  struct full_path_t {};
  static constexpr full_path_t full_path{};
  scratch_dir(full_path_t, const std::string& path);
  ~scratch_dir() { wipe(path_); }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  const std::string& path() const { return path_; }
  std::string sub(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A log channel (the main one unless named) written to a file of its own for the object's
// lifetime, under the component name the lines carry ("Installer", "InstallerUI", ...).
class captured_log {
 public:
  explicit captured_log(const char* component = "Installer", int channel = 0);
  ~captured_log();
  captured_log(const captured_log&) = delete;
  captured_log& operator=(const captured_log&) = delete;
  std::string text() const { return read_file(path_); }
  bool has(const std::string& line) const { return text().find(line) != std::string::npos; }
  int count(const std::string& line) const;

 private:
  std::string path_;
  int channel_;
};

// The registry in an explicit view, for planting what a test needs and checking what a run left.
void set_sz(HKEY root, const std::string& key, const char* name, const std::string& value,
            REGSAM view = KEY_WOW64_64KEY, DWORD type = REG_SZ);
void set_dword(HKEY root, const std::string& key, const char* name, DWORD value, REGSAM view = KEY_WOW64_64KEY);
void create_key(HKEY root, const std::string& key, REGSAM view = KEY_WOW64_64KEY);
bool key_exists(HKEY root, const std::string& key, REGSAM view = KEY_WOW64_64KEY);
bool value_exists(HKEY root, const std::string& key, const char* name, REGSAM view = KEY_WOW64_64KEY);
void delete_key(HKEY root, const std::string& key, REGSAM view);

}  // namespace test_support
