// The test executable's entry. Started with "--child <role>" it is instead a stand-in for
// what the uninstaller closes: the product's app (with or without a window, honouring
// WM_CLOSE or not) or one of its services (stopping when asked, or stuck stop-pending).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "uninstall_support.h"

namespace {

LRESULT CALLBACK honouring_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(uninstall_test::CHILD_CLOSED_BY_WINDOW);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK ignoring_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

int run_window(bool honour_close) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = honour_close ? honouring_proc : ignoring_proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"CorvaneUninstallTestChild";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Corvane", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, window_class.hInstance, nullptr);
  if (!window) return 3;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return static_cast<int>(message.wParam);
}

// The service role.
wchar_t g_service_name[64];
bool g_service_stuck;
SERVICE_STATUS_HANDLE g_status_handle;
HANDLE g_stop_event;

void report(DWORD state) {
  SERVICE_STATUS status = {};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWaitHint = 3000;
  SetServiceStatus(g_status_handle, &status);
}

DWORD WINAPI control_handler(DWORD control, DWORD, void*, void*) {
  if (control != SERVICE_CONTROL_STOP) return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
  report(SERVICE_STOP_PENDING);
  if (!g_service_stuck) SetEvent(g_stop_event);
  return NO_ERROR;
}

void WINAPI service_main(DWORD, wchar_t**) {
  g_status_handle = RegisterServiceCtrlHandlerExW(g_service_name, control_handler, nullptr);
  if (!g_status_handle) return;
  g_stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  report(SERVICE_RUNNING);
  WaitForSingleObject(g_stop_event, INFINITE);
  report(SERVICE_STOPPED);
}

int run_service(const char* name, const char* mode) {
  MultiByteToWideChar(CP_UTF8, 0, name, -1, g_service_name, 64);
  g_service_stuck = strcmp(mode, "stuck") == 0;
  SERVICE_TABLE_ENTRYW table[] = {{g_service_name, service_main}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : 4;
}

}  // namespace

namespace uninstall_test {

int run_child_role(int argc, char** argv) {
  std::string role = argc > 0 ? argv[0] : "";
  if (role == "window") return run_window(true);
  if (role == "stubborn-window") return run_window(false);
  if (role == "windowless") {
    Sleep(INFINITE);
    return 0;
  }
  if (role == "service" && argc >= 3) return run_service(argv[1], argv[2]);
  return 2;
}

}  // namespace uninstall_test

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "--child") == 0) return uninstall_test::run_child_role(argc - 2, argv + 2);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
