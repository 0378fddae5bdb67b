// The WebView2 test double (tests/fixtures/webview2_fake) proven before scenarios build on it:
// loaded like the real loader, driven through the program's own declarations on a real
// window, it answers later from the message queue, plays a page script, records the host's
// calls, fails as its rule files say, and balances every COM reference.
// Real windows need a display: the webview2_fake scenario runs these under Xvfb.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ui/webview2_abi.h"
#include "win_support.h"

namespace {

using test_support::read_file;
using test_support::wide;
using test_support::write_file;

// A host-side handler object, counting the references the double takes and gives back.
template <typename Interface, typename Vtbl, const IID& Iid, typename... Args>
struct test_handler : Interface {
  LONG refs = 1;
  std::function<void(Args...)> on_invoke;

  static HRESULT STDMETHODCALLTYPE query(Interface* self, REFIID riid, void** out) {
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, Iid)) return E_NOINTERFACE;
    add_ref(self);
    *out = self;
    return S_OK;
  }
  static ULONG STDMETHODCALLTYPE add_ref(Interface* self) { return ++static_cast<test_handler*>(self)->refs; }
  static ULONG STDMETHODCALLTYPE release(Interface* self) { return --static_cast<test_handler*>(self)->refs; }
  static HRESULT STDMETHODCALLTYPE invoke(Interface* self, Args... args) {
    static_cast<test_handler*>(self)->on_invoke(args...);
    return S_OK;
  }
  static constexpr Vtbl vtbl = {query, add_ref, release, invoke};
  test_handler() { this->lpVtbl = &vtbl; }
};
using environment_handler =
    test_handler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                 ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl,
                 IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, HRESULT, ICoreWebView2Environment*>;
using controller_handler =
    test_handler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                 ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl,
                 IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT, ICoreWebView2Controller*>;
using message_handler =
    test_handler<ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2WebMessageReceivedEventHandlerVtbl,
                 IID_ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2*,
                 ICoreWebView2WebMessageReceivedEventArgs*>;

std::string narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; text++) out += static_cast<char>(*text);
  return out;
}

// Takes a string the double allocated, as the host must: freed with CoTaskMemFree.
std::string take(LPWSTR text) {
  std::string out = narrow(text);
  CoTaskMemFree(text);
  return out;
}

bool pump_until(const std::function<bool()>& done, DWORD milliseconds = 10000) {
  ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (!done()) {
    if (GetTickCount64() > deadline) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

void run_on_other_thread(void* context, LPTHREAD_START_ROUTINE body) {
  HANDLE thread = CreateThread(nullptr, 0, body, context, 0, nullptr);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
}

int g_close_requests = 0;
LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {
    g_close_requests++;
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

class WebView2Fake : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = test_support::temp_path("wv2fake-" +
                                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    test_support::wipe(folder);
    CreateDirectoryW(wide(folder).c_str(), nullptr);
    CreateDirectoryW(wide(folder + "\\scripts").c_str(), nullptr);
    CreateDirectoryW(wide(folder + "\\faults").c_str(), nullptr);
    transcript = folder + "\\transcript.jsonl";
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_TRANSCRIPT", wide(transcript).c_str());
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_SCRIPTS", wide(folder + "\\scripts").c_str());
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_FAULTS", wide(folder + "\\faults").c_str());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));

    module = LoadLibraryW(wide(test_support::module_folder() + "\\webview2_fake\\WebView2Loader.dll").c_str());
    ASSERT_NE(module, nullptr) << "double not built beside the tests";
    create_environment = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptions_fn>(
        GetProcAddress(module, WEBVIEW2_CREATE_ENVIRONMENT_EXPORT));
    browser_version =
        reinterpret_cast<GetAvailableCoreWebView2BrowserVersionString_fn>(GetProcAddress(module, WEBVIEW2_VERSION_EXPORT));
    live_objects = reinterpret_cast<LONG(STDAPICALLTYPE*)()>(GetProcAddress(module, "FakeWebView2LiveObjects"));
    ASSERT_TRUE(create_environment && browser_version && live_objects);
  }

  void TearDown() override {
    if (module) FreeLibrary(module);
    CoUninitialize();
    for (const wchar_t* name : {L"CORVANE_WV2FAKE_TRANSCRIPT", L"CORVANE_WV2FAKE_SCRIPTS", L"CORVANE_WV2FAKE_FAULTS"})
      SetEnvironmentVariableW(name, nullptr);
    if (!HasFailure()) test_support::wipe(folder);  // a failed test's transcript stays for a look
  }

  // The environment the double hands over later, from the message queue; null on failure.
  ICoreWebView2Environment* environment(HRESULT* delivered_hr = nullptr) {
    environment_handler handler;
    bool invoked = false;
    ICoreWebView2Environment* result = nullptr;
    handler.on_invoke = [&](HRESULT hr, ICoreWebView2Environment* environment) {
      invoked = true;
      if (delivered_hr) *delivered_hr = hr;
      if (environment) environment->lpVtbl->AddRef(result = environment);
    };
    EXPECT_EQ(create_environment(nullptr, L"C:\\data\\udf-1", nullptr, &handler), S_OK);
    EXPECT_FALSE(invoked) << "never called back from inside the call";
    EXPECT_TRUE(pump_until([&] { return invoked; }));
    EXPECT_EQ(handler.refs, 1) << "the double released the handler";
    return result;
  }

  std::string folder, transcript;
  HMODULE module = nullptr;
  CreateCoreWebView2EnvironmentWithOptions_fn create_environment = nullptr;
  GetAvailableCoreWebView2BrowserVersionString_fn browser_version = nullptr;
  LONG(STDAPICALLTYPE* live_objects)() = nullptr;
};

TEST_F(WebView2Fake, PlaysThePageScriptAndRecordsTheHost) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = host_window_proc;
  window_class.lpszClassName = L"CorvaneFakeTestHost";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                nullptr, nullptr, nullptr);
  if (!window) GTEST_SKIP() << "no display for windows";
  write_file(folder + "\\scripts\\index.html.jsonl",
             "{\"post\":{\"type\":\"invoke\",\"id\":1,\"cmd\":\"get_install_state\",\"args\":{}}}\n"
             "{\"expect\":{\"type\":\"response\",\"id\":1,\"result\":{\"ok\":true}},\"timeout_ms\":5000}\n"
             "\n"
             "{\"expect\":\"\\\"stage\\\":\\\"downloading\\\"\"}\n"
             "{\"sleep_ms\":10}\n"
             "{\"post\":\"just text\"}\n"
             "{\"close\":true}\n"
             "{\"expect\":{\"type\":\"event\",\"payload\":{\"stage\":\"done\"}},\"timeout_ms\":300}\n"
             "{\"post\":{\"type\":\"invoke\",\"id\":2,\"cmd\":\"after_the_failure\",\"args\":{}}}\n");
  g_close_requests = 0;

  ICoreWebView2Environment* env = environment();
  ASSERT_NE(env, nullptr);
  controller_handler made;
  ICoreWebView2Controller* controller = nullptr;
  made.on_invoke = [&](HRESULT hr, ICoreWebView2Controller* c) {
    EXPECT_EQ(hr, S_OK);
    if (c) c->lpVtbl->AddRef(controller = c);
  };
  ASSERT_EQ(env->lpVtbl->CreateCoreWebView2Controller(env, window, &made), S_OK);
  env->lpVtbl->Release(env);  // the host need not keep the environment
  ASSERT_TRUE(pump_until([&] { return controller != nullptr; }));

  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);
  ICoreWebView2Settings* settings = nullptr;
  ASSERT_EQ(webview->lpVtbl->get_Settings(webview, &settings), S_OK);
  settings->lpVtbl->put_IsWebMessageEnabled(settings, TRUE);
  settings->lpVtbl->put_AreDevToolsEnabled(settings, FALSE);
  settings->lpVtbl->Release(settings);
  RECT bounds = {0, 0, 624, 441}, read_back = {};
  controller->lpVtbl->put_Bounds(controller, bounds);
  controller->lpVtbl->get_Bounds(controller, &read_back);
  EXPECT_TRUE(EqualRect(&bounds, &read_back));
  controller->lpVtbl->put_IsVisible(controller, TRUE);
  controller->lpVtbl->MoveFocus(controller, COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);

  struct received {
    std::string json, source, text;
    HRESULT text_hr;
  };
  std::vector<received> messages;
  message_handler on_message;
  on_message.on_invoke = [&](ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) {
    received r;
    LPWSTR text = nullptr;
    args->lpVtbl->get_WebMessageAsJson(args, &text);
    r.json = take(text);
    args->lpVtbl->get_Source(args, &text);
    r.source = take(text);
    text = nullptr;
    r.text_hr = args->lpVtbl->TryGetWebMessageAsString(args, &text);
    r.text = take(text);
    messages.push_back(r);
    if (r.json.find("get_install_state") == std::string::npos) return;
    // The answer, then two events: the script must skip none it matches and match none it should not.
    for (const wchar_t* json :
         {L"{\"type\":\"response\",\"id\":1,\"result\":{\"ok\":true,\"n\":2}}",
          L"{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"downloading\",\"percent\":5}}",
          L"{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"extracting\",\"percent\":0}}"})
      sender->lpVtbl->PostWebMessageAsJson(sender, json);
  };
  EventRegistrationToken token = {};
  ASSERT_EQ(webview->lpVtbl->add_WebMessageReceived(webview, &on_message, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, L"file:///C:/x/ui/index.html"), S_OK);

  ASSERT_TRUE(pump_until([&] { return read_file(transcript).find("\"script_failed\"") != std::string::npos; }));
  pump_until([] { return false; }, 300);  // nothing more may arrive after the failure

  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].json, "{\"type\":\"invoke\",\"id\":1,\"cmd\":\"get_install_state\",\"args\":{}}");
  EXPECT_EQ(messages[0].source, "file:///C:/x/ui/index.html");
  EXPECT_EQ(messages[0].text_hr, E_INVALIDARG) << "an object is not a string";
  EXPECT_EQ(messages[1].json, "\"just text\"");
  EXPECT_EQ(messages[1].text_hr, S_OK);
  EXPECT_EQ(messages[1].text, "just text");
  EXPECT_EQ(g_close_requests, 1) << "the close step posts WM_CLOSE to the host window";

  // Only the UI thread may use the objects, as in the runtime.
  std::pair<ICoreWebView2*, HRESULT> other_thread = {webview, S_OK};
  run_on_other_thread(&other_thread, [](void* context) -> DWORD {
    auto* call = static_cast<std::pair<ICoreWebView2*, HRESULT>*>(context);
    call->second = call->first->lpVtbl->Navigate(call->first, L"file:///C:/x/ui/other.html");
    return 0;
  });
  EXPECT_EQ(other_thread.second, RPC_E_WRONG_THREAD);

  EXPECT_EQ(webview->lpVtbl->remove_WebMessageReceived(webview, token), S_OK);
  EXPECT_EQ(on_message.refs, 1) << "the handler is let go when removed";
  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  webview->lpVtbl->Release(webview);
  controller->lpVtbl->Release(controller);
  EXPECT_EQ(made.refs, 1);
  EXPECT_EQ(live_objects(), 0) << "every object of the double is freed once the host lets go";
  DestroyWindow(window);
  FreeLibrary(module);
  module = nullptr;

  std::string pid = std::to_string(GetCurrentProcessId());
  std::string lines = read_file(transcript);
  const char* expected_in_order[] = {
      "{\"event\":\"create_environment\",\"pid\":",
      "\"user_data_folder\":\"C:\\\\data\\\\udf-1\"",
      "{\"event\":\"setting\",\"pid\":",
      "\"name\":\"IsWebMessageEnabled\",\"value\":true}",
      "\"name\":\"AreDevToolsEnabled\",\"value\":false}",
      "{\"event\":\"bounds\"",
      "\"left\":0,\"top\":0,\"right\":624,\"bottom\":441}",
      "{\"event\":\"visible\"",
      "{\"event\":\"focus\"",
      "\"reason\":0}",
      "{\"event\":\"add_web_message_received\"",
      "\"page\":\"index.html\",\"url\":\"file:///C:/x/ui/index.html\"}",
      "\"page\":\"index.html\",\"file\":",
      "\"steps\":8}",
      "{\"event\":\"page_post\"",
      "\"json\":\"{\\\"type\\\":\\\"invoke\\\",\\\"id\\\":1,",
      "{\"event\":\"host_post\"",
      "\"json\":\"{\\\"type\\\":\\\"response\\\",\\\"id\\\":1,\\\"result\\\":{\\\"ok\\\":true,\\\"n\\\":2}}\","
      "\"valid_json\":true,\"hr\":\"0x00000000\"}",
      "{\"event\":\"expect_met\"",
      "\"line\":2}",
      "\"line\":4}",
      "\"json\":\"\\\"just text\\\"\",\"handlers\":1}",
      "{\"event\":\"window_close\"",
      "{\"event\":\"script_failed\"",
      "\"line\":8,\"reason\":\"no host message matched {\\\"type\\\":\\\"event\\\",\\\"payload\\\":{\\\"stage\\\":\\\"done\\\"}} in time\"}",
      "{\"event\":\"wrong_thread\"",
      "{\"event\":\"remove_web_message_received\"",
      "\"found\":true}",
      "{\"event\":\"close\"",
      "\"by\":\"Close\"}",
      "{\"event\":\"unload\"",
      "\"live\":{\"environment\":0,\"controller\":0,\"webview\":0,\"settings\":0,\"args\":0}}",
  };
  size_t at = 0;
  for (const char* expected : expected_in_order) {
    size_t found = lines.find(expected, at);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << expected << "\nin:\n" << lines;
    at = found + strlen(expected);
  }
  EXPECT_EQ(lines.find("after_the_failure"), std::string::npos) << "the script stops at its first failure";
  EXPECT_NE(lines.find("\"pid\":" + pid), std::string::npos);
}

TEST_F(WebView2Fake, RuleFilesFailCreationAlwaysOrOnceAndTheRuntimeCanBeMissing) {
  LPWSTR version = nullptr;
  EXPECT_EQ(browser_version(nullptr, &version), S_OK);
  EXPECT_EQ(take(version), "131.0.2903.70");

  write_file(folder + "\\faults\\version_missing", "");
  version = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(browser_version(nullptr, &version), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(version, nullptr);
  DeleteFileW(wide(folder + "\\faults\\version_missing").c_str());

  // Refused at once, with the rule file's code: the handler is never called nor kept.
  write_file(folder + "\\faults\\environment_sync", "0x80070005\n");
  environment_handler never;
  never.on_invoke = [](HRESULT, ICoreWebView2Environment*) { ADD_FAILURE() << "called back after a refusal"; };
  EXPECT_EQ(create_environment(nullptr, nullptr, nullptr, &never), E_ACCESSDENIED);
  pump_until([] { return false; }, 100);
  EXPECT_EQ(never.refs, 1);
  DeleteFileW(wide(folder + "\\faults\\environment_sync").c_str());

  // A one-shot rule fails the first creation only, later, through the handler.
  write_file(folder + "\\faults\\environment_async.once", "");
  HRESULT delivered = S_OK;
  EXPECT_EQ(environment(&delivered), nullptr);
  EXPECT_EQ(delivered, E_FAIL);
  EXPECT_FALSE(test_support::exists(folder + "\\faults\\environment_async.once"))
      << "taken by this process";
  ICoreWebView2Environment* second = environment(&delivered);
  EXPECT_EQ(delivered, S_OK);
  ASSERT_NE(second, nullptr);
  second->lpVtbl->Release(second);

  // Outside a single-threaded apartment the runtime refuses to start.
  std::pair<CreateCoreWebView2EnvironmentWithOptions_fn, HRESULT> no_com = {create_environment, S_OK};
  run_on_other_thread(&no_com, [](void* context) -> DWORD {
    auto* call = static_cast<std::pair<CreateCoreWebView2EnvironmentWithOptions_fn, HRESULT>*>(context);
    environment_handler handler;
    call->second = call->first(nullptr, nullptr, nullptr, &handler);
    return 0;
  });
  EXPECT_EQ(no_com.second, CO_E_NOTINITIALIZED);
  EXPECT_EQ(live_objects(), 0);
}

}  // namespace
