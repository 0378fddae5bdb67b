// The launch of the installed app under Wine: every way of the de-elevation chain, steered
// by its seams, proven by the started program's own record of its command line; the
// result pairs of launch_installed_app; the focus check on real windows.
#include <windows.h>
#include <oaidl.h>
#include <shldisp.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/bounded_text.h"
#include "base/session_win.h"
#include "install/launch.h"
#include "install/launch_paths.h"
#include "fake_app.h"
#include "win_support.h"

namespace {

using test_support::captured_log;
using install_test::fake_install;
using test_support::scratch_dir;

const bool FAKE_APP_CHECKED = (install_test::fake_app_run_if_named(), true);

DWORD no_session() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return NO_SESSION;
}
IDispatch* no_desktop_shell() { return nullptr; }
bool not_elevated() { return false; }

// The real Shell application object without its typed interface, as some shells hand it out.
class untyped_application : public IDispatch {
 public:
  explicit untyped_application(IDispatch* inner) : inner_(inner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) {
      inner_->Release();
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* bad_arg) override {
    return inner_->Invoke(id, iid, lcid, flags, params, result, exception, bad_arg);
  }

 private:
  IDispatch* inner_;
  ULONG refs_ = 1;
};

IDispatch* untyped_desktop_shell() {
  IDispatch* real = desktop_shell_application();
  return real ? new untyped_application(real) : nullptr;
}

const char* const ARGS = "--run_source=installer --install_event_id=0190a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b";

class LaunchChain : public ::testing::Test {
 protected:
  // Wine starts its desktop shell only when a process first asks for the desktop, and a test
  // started while the previous test's shell is still shutting down finds that dying shell,
  // which no longer offers its window list (0x80040152). So each try asks from a fresh thread
  // (a thread remembers the desktop it was given) until a live shell answers, as it does in a
  // logged-on user's session.
  static void SetUpTestSuite() {
    for (int i = 0; i < 150 && !desktop_shell_answers(); ++i) Sleep(100);
  }
  static bool desktop_shell_answers() {
    bool answered = false;
    HANDLE thread = CreateThread(nullptr, 0, [](void* out) -> DWORD {
      HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      GetDesktopWindow();
      if (IDispatch* shell = desktop_shell_application()) {
        shell->Release();
        *static_cast<bool*>(out) = true;
      }
      if (SUCCEEDED(com)) CoUninitialize();
      return 0;
    }, &answered, 0, nullptr);
    if (!thread) return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return answered;
  }
  std::string expected_command() const { return "\"" + app.exe() + "\" " + ARGS + "\r\n"; }
  int run() { return shell_exec_as_user_with(&seams, app.exe().c_str(), ARGS, app.folder().path().c_str()); }
  fake_install app{"corvane-launch-chain"};
  launch_seams seams = *launch_default_seams();
};

TEST_F(LaunchChain, DesktopUsersTokenComesFirst) {
  captured_log log;
  ASSERT_EQ(run(), 0);
  std::string text = log.text();
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(\[INFO\] \[Installer\] shell_exec_as_user: cloned token from )"
                                                 R"(explorer pid=\d+ \(session=1\))")))
      << text;
  // Wine hands the copied token's process the caller's elevation: the log says so.
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(launched via CreateProcessWithTokenW pid=\d+ )"
                                                 R"(integrity=(high|medium) \(rid=0x(3|2)000\))")))
      << text;
  EXPECT_EQ(text.find("IShellDispatch2"), std::string::npos) << "no later path once one succeeded";
  EXPECT_EQ(app.launched(), expected_command());
}

TEST_F(LaunchChain, WithoutASessionTheDesktopShellStartsIt) {
  seams.own_session = no_session;
  captured_log log;
  ASSERT_EQ(run(), 0);
  EXPECT_TRUE(
      log.has("shell_exec_as_user: ProcessIdToSessionId failed (gle=87); no session to look for a desktop shell in"));
  EXPECT_TRUE(log.has("shell_exec_as_user: trying IShellDispatch2 path (file=" + app.exe() +
                      ", CoInitialize hr=0x0000000"));
  EXPECT_TRUE(log.has("[INFO] [Installer] shell_exec_as_user: launched via IShellDispatch2 (vtable)")) << log.text();
  EXPECT_EQ(app.launched(), expected_command());
}

TEST_F(LaunchChain, UntypedShellObjectIsCalledLateBound) {
  seams.own_session = no_session;
  seams.desktop_application = untyped_desktop_shell;
  captured_log log;
  ASSERT_EQ(run(), 0);
  std::string text = log.text();
  EXPECT_TRUE(log.has("shell_exec_as_user: QI(IDispatch→IShellDispatch2) failed (hr=0x80004002); falling back to "
                      "late-bound IDispatch::Invoke"));
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(launched via IDispatch::Invoke\(ShellExecute, dispid=0x[0-9a-f]+\))")))
      << text;
  EXPECT_EQ(app.launched(), expected_command());
}

class LaunchInstalledApp : public ::testing::Test {
 protected:
  void SetUp() override {
    text_copy(state.install_dir, app.folder().path().c_str());
    text_copy(state.install_event_id, "0190a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b");
  }
  fake_install app{"corvane-launch-app"};
  install_state state = {};
  launch_seams seams = *launch_default_seams();
};

TEST_F(LaunchInstalledApp, StartsTheAppWithTheInstallEventId) {
  captured_log log;
  launch_result result = launch_installed_app(&state);
  EXPECT_EQ(result.code, LAUNCH_STARTED);
  EXPECT_EQ(result.family, LAUNCH_FAMILY_NONE);
  EXPECT_TRUE(log.has("[INFO] [Installer] Launching Corvane.exe (focus_rc=603)"));
  EXPECT_EQ(app.launched(), "\"" + app.exe() + "\" " + ARGS + "\r\n");
}

TEST_F(LaunchInstalledApp, WithoutAnEventIdOnlyTheRunSourceIsPassed) {
  state.install_event_id[0] = '\0';
  seams.is_elevated = not_elevated;  // the unelevated start goes straight to ShellExecute
  captured_log log;
  launch_result result = launch_installed_app_with(&seams, &state);
  EXPECT_EQ(result.code, LAUNCH_STARTED);
  EXPECT_EQ(app.launched(), "\"" + app.exe() + "\" --run_source=installer\r\n");
  EXPECT_EQ(log.text().find("shell_exec_as_user"), std::string::npos) << "no de-elevation when not elevated";
}

TEST_F(LaunchInstalledApp, MissingExecutableFailsBeforeAnyLaunch) {
  DeleteFileA(app.exe().c_str());
  captured_log log;
  launch_result result = launch_installed_app(&state);
  EXPECT_EQ(result.code, LAUNCH_FAILED);
  EXPECT_EQ(result.family, LAUNCH_FAMILY_EXECUTABLE_MISSING);
  EXPECT_TRUE(log.has("[ERROR] [Installer] Corvane.exe launch rejected before handoff (gle=2)"));

  text_copy(state.install_dir, "C:\\no-such-corvane-folder");
  result = launch_installed_app(&state);
  EXPECT_EQ(result.family, LAUNCH_FAMILY_EXECUTABLE_MISSING);
  EXPECT_TRUE(log.has("Corvane.exe launch rejected before handoff (gle=3)"));
  EXPECT_EQ(log.text().find("Launching"), std::string::npos);
}

TEST_F(LaunchInstalledApp, FailedUnelevatedStartReportsTheShellsFamily) {
  seams.is_elevated = not_elevated;
  HANDLE file = CreateFileA(app.exe().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "not a program", 13, &written, nullptr);
  CloseHandle(file);
  captured_log log;
  launch_result result = launch_installed_app_with(&seams, &state);
  EXPECT_EQ(result.code, LAUNCH_FAILED);
  std::smatch match;
  std::string text = log.text();
  ASSERT_TRUE(std::regex_search(text, match, std::regex(R"(\[ERROR\] \[Installer\] shell_exec_as_user: )"
                                                        R"(ShellExecuteA failed \(not elevated, code=(\d+)\))")))
      << text;
  EXPECT_EQ(result.family, launch_family_of_shell_code(std::stol(match[1])));
}

// With the desktop shell replaced, neither unelevated way can start the app; starting it from
// this elevated process would hand the person an administrator's copy of the product.
TEST_F(LaunchInstalledApp, NoUnelevatedWayLeftStartsNothing) {
  seams.shell_exe = L"no-such-shell.exe";
  seams.desktop_application = no_desktop_shell;
  captured_log log;
  launch_result result = launch_installed_app_with(&seams, &state);
  EXPECT_EQ(result.code, LAUNCH_FAILED);
  EXPECT_STREQ(launch_family_word(result.family), "shell_unavailable");
  EXPECT_TRUE(log.has("shell_exec_as_user: no explorer.exe found in session 1 (Explorer not yet started or shell "
                      "replacement in use)"));
  EXPECT_TRUE(log.has("[ERROR] [Installer] shell_exec_as_user: both de-elevation paths failed; not starting "
                      "Corvane.exe elevated — launch failed"))
      << log.text();
  EXPECT_EQ(app.launched(1000), "") << "nothing started";
}

TEST_F(LaunchInstalledApp, WindowlessRunningAppIsStartingUp) {
  app.start("wait");
  captured_log log;
  launch_result result = launch_installed_app(&state);
  EXPECT_EQ(result.code, LAUNCH_ALREADY_RUNNING);
  EXPECT_EQ(result.family, LAUNCH_FAMILY_NONE);
  EXPECT_TRUE(log.has("[INFO] [Installer] Corvane.exe is starting up — skipping launch to avoid a second instance"));
  EXPECT_EQ(app.launched(1000), "") << "no second instance";
}

// Real windows need a display: the install_launch scenario runs these under Xvfb.
class LaunchFocus : public LaunchInstalledApp {
 protected:
  void SetUp() override {
    LaunchInstalledApp::SetUp();
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) GTEST_SKIP() << "no display for windows";
    DestroyWindow(probe);
  }
  static HWND app_window() {
    HWND window = FindWindowW(L"CorvaneFakeApp", L"Corvane");
    while (window && (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)))
      window = FindWindowExW(nullptr, window, L"CorvaneFakeApp", L"Corvane");
    return window;
  }
};

TEST_F(LaunchFocus, MinimisedAppIsRestoredInsteadOfStartedAgain) {
  app.start("minimized");
  HWND window = app_window();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(IsIconic(window));
  captured_log log;
  launch_result result = launch_installed_app(&state);
  EXPECT_EQ(result.code, LAUNCH_ALREADY_RUNNING);
  EXPECT_EQ(result.family, LAUNCH_FAMILY_NONE);
  EXPECT_TRUE(log.has("[INFO] [Installer] Corvane.exe already running — focused existing window instead of launching "
                      "a second instance"));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_EQ(app.launched(1000), "");
}

TEST_F(LaunchFocus, HiddenOrOwnedWindowsMeanStillStarting) {
  for (const char* mode : {"hidden", "owned"}) {
    fake_install running("corvane-launch-focus-running");
    running.start(mode);
    captured_log log;
    launch_result result = launch_installed_app(&state);
    EXPECT_EQ(result.code, LAUNCH_ALREADY_RUNNING) << mode;
    EXPECT_TRUE(log.has("Corvane.exe is starting up — skipping launch to avoid a second instance")) << mode;
  }
  EXPECT_EQ(app.launched(1000), "");
}

}  // namespace
