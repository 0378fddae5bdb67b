#include "elevated_child.h"

#include <windows.h>

#include "product/product.h"
#include "win_support.h"

namespace elevated_child {

namespace {

constexpr wchar_t BEHAVIOUR[] = L"CORVANE_TEST_ELEVATED_CHILD";
constexpr wchar_t RECORD[] = L"CORVANE_TEST_ELEVATED_CHILD_RECORD";
constexpr wchar_t STOP_EVENT[] = L"CorvaneTestElevatedChildStop";

std::string record_path() { return test_support::temp_path("elevated-child-" + std::to_string(GetCurrentProcessId())); }

}  // namespace

void arm(behaviour what) {
  static const wchar_t* names[] = {L"ready", L"exit", L"silent"};
  DeleteFileW(test_support::wide(record_path()).c_str());
  SetEnvironmentVariableW(BEHAVIOUR, names[what]);
  SetEnvironmentVariableW(RECORD, test_support::wide(record_path()).c_str());
}

void disarm() {
  SetEnvironmentVariableW(BEHAVIOUR, nullptr);
  SetEnvironmentVariableW(RECORD, nullptr);
}

std::string command_line() {
  return test_support::exists(record_path()) ? test_support::read_file(record_path()) : "";
}

void stop() {
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, STOP_EVENT);
  if (!stop) return;
  SetEvent(stop);
  Sleep(500);
  CloseHandle(stop);
}

int run_if_child() {
  wchar_t what[16], record[MAX_PATH];
  if (!GetEnvironmentVariableW(BEHAVIOUR, what, 16) || !GetEnvironmentVariableW(RECORD, record, MAX_PATH)) return -1;
  char line[4096] = "";
  WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
  char path[MAX_PATH * 3] = "";
  WideCharToMultiByte(CP_UTF8, 0, record, -1, path, sizeof path, nullptr, nullptr);
  test_support::write_file(path, line);
  if (lstrcmpW(what, L"exit") == 0) return EXIT_CODE;
  if (lstrcmpW(what, L"ready") == 0) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, UI_READY_EVENT_NAME);
    if (ready) {
      SetEvent(ready);
      CloseHandle(ready);
    }
  }
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, STOP_EVENT);
  WaitForSingleObject(stop, 60000);
  return 0;
}

}  // namespace elevated_child
