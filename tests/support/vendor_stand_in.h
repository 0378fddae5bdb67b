// What the Windows-layer network tests share: the vendor stand-in's folder (set by
// tests/fixtures/vendor/vendor.py, which runs these suites), its config and records, and a
// log file to read the program's lines from.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "json_check.h"
#include "win_support.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"

namespace net_test {

using namespace test_support;

inline std::string vendor_dir() {
  const char* dir = getenv("CORVANE_VENDOR_DIR");
  return dir ? dir : "";
}

// Replaces the stand-in's whole config (faults, session answer, CONNECT refusal).
inline void vendor_config(const std::string& json) { write_file(vendor_dir() + "\\config.json", json); }

inline void vendor_add_file(const std::string& name, const std::string& bytes) {
  write_file(vendor_dir() + "\\files\\" + name, bytes);
}

// The records as flat objects, e.g. vendor_records("requests.jsonl").
inline std::vector<flat_json> vendor_records(const char* name) {
  std::vector<flat_json> out;
  std::istringstream lines(read_file(vendor_dir() + "\\" + name));
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) out.push_back(parse_flat_json(line));
  return out;
}

inline std::vector<flat_json> vendor_requests(const char* method) {
  std::vector<flat_json> out;
  for (auto& r : vendor_records("requests.jsonl"))
    if (r.values["method"] == method) out.push_back(r);
  return out;
}

// Waits (bounded) until the named record file has at least count lines.
inline bool vendor_wait(const char* name, size_t count, DWORD limit_ms) {
  for (DWORD waited = 0; waited < limit_ms; waited += 100) {
    if (vendor_records(name).size() >= count) return true;
    Sleep(100);
  }
  return false;
}

// Skips the suite when it is not run under the stand-in; opens a fresh main log.
class VendorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (vendor_dir().empty()) GTEST_SKIP() << "needs the vendor stand-in (tests/fixtures/vendor/vendor.py)";
    char temp[MAX_PATH];
    temp_folder(temp, sizeof temp);
    log_path_ = std::string(temp) + "net-test-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log_path_.c_str());
    log_open(LOG_MAIN, log_path_.c_str(), "Installer");
    log_set_min_level(LOG_LEVEL_DEBUG);
    vendor_config("{\"faults\": []}");
    write_file(vendor_dir() + "\\requests.jsonl", "");
    write_file(vendor_dir() + "\\stats.jsonl", "");
    write_file(vendor_dir() + "\\served.jsonl", "");
  }
  void TearDown() override {
    log_close(LOG_MAIN);
    if (!log_path_.empty()) DeleteFileA(log_path_.c_str());
  }
  std::string log_text() const { return read_file(log_path_); }
  std::string log_path_;
};

}  // namespace net_test
