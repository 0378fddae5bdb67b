// Shared fixtures of the install engine's Windows tests: scratch folders, stand-in
// processes under the product's names, and a log file to read lines back from.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/wide_win.h"

namespace install_test {

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string module_folder() {
  char path[MAX_PATH];
  module_path(path, sizeof path);
  std::string text(path);
  return text.substr(0, text.find_last_of('\\'));
}

// A fresh folder under the temp folder, removed with its files at the end.
class scratch_folder {
 public:
  explicit scratch_folder(const char* name) {
    char temp[MAX_PATH + 1];
    temp_folder(temp, sizeof temp);
    path_ = std::string(temp) + name;
    remove();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~scratch_folder() { remove(); }
  const std::string& path() const { return path_; }
  std::string file(const char* name) const { return path_ + "\\" + name; }

 private:
  void remove() {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string child = path_ + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryA(child.c_str());
        else
          DeleteFileA(child.c_str());
      } while (FindNextFileA(find, &found));
      FindClose(find);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string path_;
};

// A windowless process that runs under a chosen executable name until stopped: a copy of
// the harness's mutex holder, which waits for its stop file.
class named_process {
 public:
  named_process(const scratch_folder& folder, const char* exe_name, const char* tag) {
    exe_ = folder.file(exe_name);
    stop_ = folder.file((std::string(tag) + ".stop").c_str());
    std::string ready = folder.file((std::string(tag) + ".ready").c_str());
    std::string helper = module_folder() + "\\tests\\harness\\win\\mutex_holder.exe";
    CopyFileA(helper.c_str(), exe_.c_str(), FALSE);
    std::string command = "\"" + exe_ + "\" CorvaneTest" + tag + " 60 \"" + ready + "\" \"" + stop_ + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_)) {
      ADD_FAILURE() << "cannot start " << exe_ << " (gle=" << GetLastError() << ")";
      return;
    }
    for (int i = 0; i < 100 && GetFileAttributesA(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
  }
  ~named_process() {
    if (!info_.hProcess) return;
    CloseHandle(CreateFileA(stop_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  DWORD pid() const { return info_.dwProcessId; }

 private:
  std::string exe_, stop_;
  PROCESS_INFORMATION info_ = {};
};

// Sends the main log channel to a file of its own for one test and reads it back.
class captured_log {
 public:
  explicit captured_log(const scratch_folder& folder) : path_(folder.file("capture.log")) {
    log_open(LOG_MAIN, path_.c_str(), "Installer");
  }
  ~captured_log() { log_close(LOG_MAIN); }
  std::string text() const { return read_file(path_); }
  bool has(const std::string& line) const { return text().find(line) != std::string::npos; }

 private:
  std::string path_;
};

}  // namespace install_test
