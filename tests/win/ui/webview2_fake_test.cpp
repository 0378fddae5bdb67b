// The WebView2 test double (tests/fixtures/webview2_fake) proven before scenarios build on it:
// loaded like the real loader, driven through the program's own declarations on a real
// window, it answers later from the message queue, plays a page script, records the host's
// calls, fails as its rule files say, and balances every COM reference.
// Real windows need a display: the webview2_fake scenario runs these under Xvfb.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/webview2_abi.h"

namespace {

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

using navigation_handler =
    test_handler<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2NavigationStartingEventHandlerVtbl,
                 IID_ICoreWebView2NavigationStartingEventHandler, ICoreWebView2*,
                 ICoreWebView2NavigationStartingEventArgs*>;
using new_window_handler =
    test_handler<ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2NewWindowRequestedEventHandlerVtbl,
                 IID_ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2*,
                 ICoreWebView2NewWindowRequestedEventArgs*>;

using resource_handler =
    test_handler<ICoreWebView2WebResourceRequestedEventHandler, ICoreWebView2WebResourceRequestedEventHandlerVtbl,
                 IID_ICoreWebView2WebResourceRequestedEventHandler, ICoreWebView2*,
                 ICoreWebView2WebResourceRequestedEventArgs*>;

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; text++) out += static_cast<char>(*text);
  return out;
}

std::string environment_text(const wchar_t* name) {
  wchar_t value[1024];
  DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? narrow(value) : "";
}

// Takes a string the double allocated, as the host must: freed with CoTaskMemFree.
std::string take(LPWSTR text) {
  std::string out = narrow(text);
  CoTaskMemFree(text);
  return out;
}

void write_file(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string read_file(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return text;
}

void delete_tree(const std::wstring& path) {
  std::wstring from = path + L'\0';
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
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
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"wv2fake-" + wide(::testing::UnitTest::GetInstance()->current_test_info()->name());
    delete_tree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\scripts").c_str(), nullptr);
    CreateDirectoryW((folder + L"\\faults").c_str(), nullptr);
    transcript = folder + L"\\transcript.jsonl";
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_TRANSCRIPT", transcript.c_str());
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_SCRIPTS", (folder + L"\\scripts").c_str());
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_FAULTS", (folder + L"\\faults").c_str());
    // A relay in the environment is the relay test's alone; the others play scripts.
    relay_address = environment_text(L"CORVANE_WV2FAKE_RELAY");
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_RELAY", nullptr);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));

    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dll(exe);
    dll = dll.substr(0, dll.find_last_of(L'\\')) + L"\\webview2_fake\\WebView2Loader.dll";
    module = LoadLibraryW(dll.c_str());
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
    for (const wchar_t* name : {L"CORVANE_WV2FAKE_TRANSCRIPT", L"CORVANE_WV2FAKE_SCRIPTS", L"CORVANE_WV2FAKE_FAULTS",
                                L"CORVANE_WV2FAKE_RELAY"})
      SetEnvironmentVariableW(name, nullptr);
    if (!HasFailure()) delete_tree(folder);  // a failed test's transcript stays for a look
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

  // The host's top-level window (its WM_CLOSE counted in g_close_requests); null without a display.
  static HWND host_window() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = host_window_proc;
    window_class.lpszClassName = L"CorvaneFakeTestHost";
    RegisterClassW(&window_class);
    g_close_requests = 0;
    return CreateWindowExW(0, window_class.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                           nullptr, nullptr, nullptr);
  }

  // A controller in the window, as the runtime hands it over; the caller owns one reference
  // (and one of the environment when it asks to keep it).
  ICoreWebView2Controller* controller_in(HWND window, ICoreWebView2Environment** keep_environment = nullptr) {
    ICoreWebView2Environment* env = environment();
    if (!env) return nullptr;
    if (keep_environment) env->lpVtbl->AddRef(*keep_environment = env);
    ICoreWebView2Controller* controller = nullptr;
    controller_made.on_invoke = [&](HRESULT hr, ICoreWebView2Controller* c) {
      EXPECT_EQ(hr, S_OK);
      if (c) c->lpVtbl->AddRef(controller = c);
    };
    EXPECT_EQ(env->lpVtbl->CreateCoreWebView2Controller(env, window, &controller_made), S_OK);
    env->lpVtbl->Release(env);  // the host need not keep the environment
    EXPECT_TRUE(pump_until([&] { return controller != nullptr; }));
    return controller;
  }

  std::wstring folder, transcript;
  std::string relay_address;
  controller_handler controller_made;
  HMODULE module = nullptr;
  CreateCoreWebView2EnvironmentWithOptions_fn create_environment = nullptr;
  GetAvailableCoreWebView2BrowserVersionString_fn browser_version = nullptr;
  LONG(STDAPICALLTYPE* live_objects)() = nullptr;
};

TEST_F(WebView2Fake, PlaysThePageScriptAndRecordsTheHost) {
  HWND window = host_window();
  if (!window) GTEST_SKIP() << "no display for windows";
  write_file(folder + L"\\scripts\\index.html.jsonl",
             "{\"post\":{\"type\":\"invoke\",\"id\":1,\"cmd\":\"get_install_state\",\"args\":{}}}\n"
             "{\"expect\":{\"type\":\"response\",\"id\":1,\"result\":{\"ok\":true}},\"timeout_ms\":5000}\n"
             "\n"
             "{\"expect\":\"\\\"stage\\\":\\\"downloading\\\"\"}\n"
             "{\"sleep_ms\":10}\n"
             "{\"post\":\"just text\"}\n"
             "{\"close\":true}\n"
             "{\"expect\":{\"type\":\"event\",\"payload\":{\"stage\":\"done\"}},\"timeout_ms\":300}\n"
             "{\"post\":{\"type\":\"invoke\",\"id\":2,\"cmd\":\"after_the_failure\",\"args\":{}}}\n");

  ICoreWebView2Controller* controller = controller_in(window);
  ASSERT_NE(controller, nullptr);

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
  EXPECT_EQ(controller_made.refs, 1);
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
      "\"page\":\"index.html\",\"url\":\"file:///C:/x/ui/index.html\",\"path\":\"C:\\\\x\\\\ui\\\\index.html\","
      "\"folder_files\":[]}",
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
      "\"live\":{\"environment\":0,\"controller\":0,\"webview\":0,\"settings\":0,\"args\":0,\"request\":0,"
      "\"response\":0}}",
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

// As the runtime: the host's and the page's navigations raise NavigationStarting and a cancelled
// one keeps the page; window.open raises NewWindowRequested; a message names its document; the
// newer settings and controller interfaces are there unless an older runtime is played.
TEST_F(WebView2Fake, RaisesNavigationAndNewWindowAndNamesEachMessagesSource) {
  HWND window = host_window();
  if (!window) GTEST_SKIP() << "no display for windows";
  write_file(folder + L"\\scripts\\index.html.jsonl",
             "{\"navigate\":\"https://example.org/\"}\n"
             "{\"new_window\":\"https://example.org/popup\"}\n"
             "{\"post\":\"claimed\",\"source\":\"https://example.org/\"}\n"
             "{\"navigate\":\"file:///C:/x/ui/next.html\"}\n"
             "{\"sleep_ms\":5000}\n");
  write_file(folder + L"\\scripts\\next.html.jsonl", "{\"post\":\"from next\"}\n");
  ICoreWebView2Controller* controller = controller_in(window);
  ASSERT_NE(controller, nullptr);
  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);

  std::vector<std::string> navigations, windows, messages;
  navigation_handler on_navigation;
  on_navigation.on_invoke = [&](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
    LPWSTR uri = nullptr;
    args->lpVtbl->get_Uri(args, &uri);
    navigations.push_back(take(uri));
    if (navigations.back().starts_with("https:")) args->lpVtbl->put_Cancel(args, TRUE);
  };
  new_window_handler on_new_window;
  on_new_window.on_invoke = [&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
    LPWSTR uri = nullptr;
    args->lpVtbl->get_Uri(args, &uri);
    windows.push_back(take(uri));
    args->lpVtbl->put_Handled(args, TRUE);
  };
  message_handler on_message;
  on_message.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
    LPWSTR text = nullptr;
    args->lpVtbl->get_Source(args, &text);
    messages.push_back(take(text) + " ");
    args->lpVtbl->get_WebMessageAsJson(args, &text);
    messages.back() += take(text);
  };
  EventRegistrationToken token = {};
  ASSERT_EQ(webview->lpVtbl->add_NavigationStarting(webview, &on_navigation, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_NewWindowRequested(webview, &on_new_window, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebMessageReceived(webview, &on_message, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, L"https://example.org/start.html"), S_OK);
  EXPECT_EQ(navigations, std::vector<std::string>{"https://example.org/start.html"});
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, L"file:///C:/x/ui/index.html"), S_OK);
  ASSERT_TRUE(pump_until([&] { return messages.size() == 2; }));

  EXPECT_EQ(navigations, (std::vector<std::string>{"https://example.org/start.html", "file:///C:/x/ui/index.html",
                                                   "https://example.org/", "file:///C:/x/ui/next.html"}));
  EXPECT_EQ(windows, std::vector<std::string>{"https://example.org/popup"});
  EXPECT_EQ(messages, (std::vector<std::string>{"https://example.org/ \"claimed\"",
                                                "file:///C:/x/ui/next.html \"from next\""}));

  ICoreWebView2Settings* settings = nullptr;
  ASSERT_EQ(webview->lpVtbl->get_Settings(webview, &settings), S_OK);
  void* newer = nullptr;
  ASSERT_EQ(settings->lpVtbl->QueryInterface(settings, IID_ICoreWebView2Settings3, &newer), S_OK);
  EXPECT_EQ(newer, settings) << "the same object, seen through the longer table";
  auto* settings3 = static_cast<ICoreWebView2Settings3*>(newer);
  EXPECT_EQ(settings3->lpVtbl->put_AreBrowserAcceleratorKeysEnabled(settings3, FALSE), S_OK);
  settings3->lpVtbl->Release(settings3);
  ASSERT_EQ(controller->lpVtbl->QueryInterface(controller, IID_ICoreWebView2Controller4, &newer), S_OK);
  auto* controller4 = static_cast<ICoreWebView2Controller4*>(newer);
  EXPECT_EQ(controller4->lpVtbl->put_AllowExternalDrop(controller4, FALSE), S_OK);
  controller4->lpVtbl->Release(controller4);
  write_file(folder + L"\\faults\\settings3_missing", "");
  write_file(folder + L"\\faults\\controller4_missing", "");
  EXPECT_EQ(settings->lpVtbl->QueryInterface(settings, IID_ICoreWebView2Settings3, &newer), E_NOINTERFACE);
  EXPECT_EQ(controller->lpVtbl->QueryInterface(controller, IID_ICoreWebView2Controller4, &newer), E_NOINTERFACE);
  EXPECT_EQ(newer, nullptr);
  settings->lpVtbl->Release(settings);

  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  EXPECT_EQ(on_navigation.refs + on_new_window.refs + on_message.refs, 3) << "Close lets every handler go";
  webview->lpVtbl->Release(webview);
  controller->lpVtbl->Release(controller);
  EXPECT_EQ(live_objects(), 0);
  DestroyWindow(window);

  std::string lines = read_file(transcript);
  for (const char* expected :
       {"\"url\":\"https://example.org/start.html\",\"by\":\"host\",\"cancelled\":true}",
        "\"url\":\"https://example.org/\",\"by\":\"page\",\"cancelled\":true}",
        "\"page\":\"index.html\",\"url\":\"file:///C:/x/ui/next.html\",\"by\":\"page\",\"cancelled\":false}",
        "\"url\":\"https://example.org/popup\",\"handled\":true,\"opened\":false}",
        "\"name\":\"AreBrowserAcceleratorKeysEnabled\",\"value\":false}",
        "\"name\":\"AllowExternalDrop\",\"value\":false}",
        "\"name\":\"ICoreWebView2Controller4\",\"offered\":false}"})
    EXPECT_NE(lines.find(expected), std::string::npos) << expected << "\nin:\n" << lines;
  EXPECT_EQ(lines.find("\"page\":\"start.html\",\"file\""), std::string::npos) << "a cancelled page never plays";
}

// The host's three references, given back once the controller is closed.
void release_all(ICoreWebView2* webview, ICoreWebView2Controller* controller, ICoreWebView2Environment* env) {
  webview->lpVtbl->Release(webview);
  controller->lpVtbl->Release(controller);
  env->lpVtbl->Release(env);
}

// What the host does for a request on its virtual origin: the page from memory, 404 without a
// body for a name it lacks, and nothing at all for images (left to the network). Each request
// is noted in seen as "URI METHOD CONTEXT".
void serve_from_memory(ICoreWebView2Environment* env, ICoreWebView2WebResourceRequestedEventArgs* args,
                       const std::map<std::string, std::string>& files, std::vector<std::string>& seen) {
  ICoreWebView2WebResourceRequest* request = nullptr;
  ASSERT_EQ(args->lpVtbl->get_Request(args, &request), S_OK);
  LPWSTR text = nullptr;
  request->lpVtbl->get_Uri(request, &text);
  std::string uri = take(text);
  request->lpVtbl->get_Method(request, &text);
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
  args->lpVtbl->get_ResourceContext(args, &context);
  seen.push_back(uri + " " + take(text) + " " + std::to_string(static_cast<int>(context)));
  request->lpVtbl->Release(request);
  std::string name = uri.substr(uri.find_last_of('/') + 1);
  if (name.ends_with(".png")) return;
  auto file = files.find(name);
  ICoreWebView2WebResourceResponse* response = nullptr;
  if (file == files.end()) {
    ASSERT_EQ(env->lpVtbl->CreateWebResourceResponse(env, nullptr, 404, L"Not Found", nullptr, &response), S_OK);
  } else {
    IStream* content =
        SHCreateMemStream(reinterpret_cast<const BYTE*>(file->second.data()), static_cast<UINT>(file->second.size()));
    const wchar_t* headers = name.ends_with(".js") ? L"Cache-Control: no-store\ncontent-type:  text/javascript "
                                                   : L"Content-Type: text/html; charset=utf-8";
    ASSERT_EQ(env->lpVtbl->CreateWebResourceResponse(env, content, 200, L"OK", headers, &response), S_OK);
    content->Release();
  }
  EXPECT_EQ(args->lpVtbl->put_Response(args, response), S_OK);
  response->lpVtbl->Release(response);
}

// The strings of lines in the transcript, each after the previous one; the first one missing.
std::string missing_in_order(const std::string& lines, const std::vector<std::string>& expected) {
  size_t at = 0;
  for (const std::string& text : expected) {
    size_t found = lines.find(text, at);
    if (found == std::string::npos) return text;
    at = found + text.size();
  }
  return "";
}

// Pages served from memory, as the host does on its virtual origin: a filtered navigation raises
// WebResourceRequested later, from the queue, and what the host puts is what the page gets (only
// a document served 200 plays its script); an unfiltered navigation raises nothing, nor one once
// the filter is gone. A filter added twice needs two removes; a null one takes nothing.
TEST_F(WebView2Fake, ServesFilteredDocumentsThroughTheHostsHandler) {
  HWND window = host_window();
  if (!window) GTEST_SKIP() << "no display for windows";
  write_file(folder + L"\\scripts\\consent.html.jsonl", "{\"post\":\"played\"}\n");
  write_file(folder + L"\\scripts\\gone.html.jsonl", "{\"post\":\"an error page plays nothing\"}\n");
  ICoreWebView2Environment* env = nullptr;
  ICoreWebView2Controller* controller = controller_in(window, &env);
  ASSERT_NE(controller, nullptr);
  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);

  const std::string consent = "<!doctype html><p>consent</p>";
  std::vector<std::string> seen, messages;
  bool navigating = false;
  resource_handler on_resource;
  on_resource.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
    EXPECT_FALSE(navigating) << "raised from the queue, never from inside Navigate";
    serve_from_memory(env, args, {{"consent.html", consent}}, seen);
  };
  message_handler on_message;
  on_message.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
    LPWSTR text = nullptr;
    args->lpVtbl->get_WebMessageAsJson(args, &text);
    messages.push_back(take(text));
  };
  const wchar_t* origin = L"https://corvane-setup.invalid/*";
  const auto all = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
  EventRegistrationToken resource_token = {}, message_token = {};
  ASSERT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, origin, all), S_OK);
  ASSERT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, origin, all), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebResourceRequested(webview, &on_resource, &resource_token), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebMessageReceived(webview, &on_message, &message_token), S_OK);
  // Navigates and waits until the page's script has posted or its document was refused.
  auto open = [&](const wchar_t* url) {
    size_t posted = messages.size(), lines = read_file(transcript).size();
    navigating = true;
    EXPECT_EQ(webview->lpVtbl->Navigate(webview, url), S_OK);
    navigating = false;
    EXPECT_TRUE(pump_until([&] {
      return messages.size() > posted || read_file(transcript).find("\"no_script\"", lines) != std::string::npos;
    })) << narrow(url);
  };

  open(L"https://corvane-setup.invalid/consent.html");
  open(L"https://corvane-setup.invalid/gone.html");
  open(L"https://elsewhere.example/consent.html");
  EXPECT_EQ(webview->lpVtbl->RemoveWebResourceRequestedFilter(webview, origin, all), S_OK);
  open(L"https://corvane-setup.invalid/consent.html");
  EXPECT_EQ(webview->lpVtbl->RemoveWebResourceRequestedFilter(webview, origin, all), S_OK);
  EXPECT_EQ(webview->lpVtbl->RemoveWebResourceRequestedFilter(webview, origin, all), E_INVALIDARG);
  EXPECT_EQ(webview->lpVtbl->RemoveWebResourceRequestedFilter(webview, origin, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT),
            E_INVALIDARG);
  EXPECT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, nullptr, all), S_OK);
  open(L"https://corvane-setup.invalid/consent.html");
  EXPECT_EQ(webview->lpVtbl->RemoveWebResourceRequestedFilter(webview, nullptr, all), S_OK);

  EXPECT_EQ(seen, (std::vector<std::string>{"https://corvane-setup.invalid/consent.html GET 1",
                                            "https://corvane-setup.invalid/gone.html GET 1",
                                            "https://corvane-setup.invalid/consent.html GET 1"}));
  EXPECT_EQ(messages, std::vector<std::string>(4, "\"played\"")) << "no script for the page served 404";

  EXPECT_EQ(webview->lpVtbl->remove_WebResourceRequested(webview, resource_token), S_OK);
  EXPECT_EQ(on_resource.refs, 1) << "the handler is let go when removed";
  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  release_all(webview, controller, env);
  EXPECT_EQ(live_objects(), 0);
  DestroyWindow(window);

  std::string lines = read_file(transcript);
  EXPECT_EQ(missing_in_order(lines, {
                "\"uri\":\"https://corvane-setup.invalid/*\",\"context\":0,\"op\":\"add\",\"hr\":\"0x00000000\"}",
                "{\"event\":\"add_web_resource_requested\"",
                "\"url\":\"https://corvane-setup.invalid/consent.html\",\"served\":true}",
                "\"url\":\"https://corvane-setup.invalid/consent.html\",\"by\":\"host\",\"cancelled\":false}",
                "{\"event\":\"resource\"",
                "\"context\":1,\"status\":200,\"content_type\":\"text/html; charset=utf-8\",\"bytes\":" +
                    std::to_string(consent.size()) + "}",
                "{\"event\":\"script\"",
                "\"url\":\"https://corvane-setup.invalid/gone.html\",\"context\":1,\"status\":404,"
                "\"content_type\":null,\"bytes\":0}",
                "\"reason\":\"the host answered the document with 404\"}",
                "\"op\":\"remove\",\"hr\":\"0x80070057\"}",
                "\"uri\":null,\"context\":0,\"op\":\"add\"",
                "{\"event\":\"remove_web_resource_requested\"",
                "\"found\":true}",
            }),
            "")
      << lines;
  EXPECT_EQ(lines.find("an error page plays nothing"), std::string::npos);
}

// A page's own requests (script step fetch) reach the host only through a filter whose glob takes
// the whole URI (sent without its fragment) and whose context is the request's or ALL.
TEST_F(WebView2Fake, FetchStepsReachTheHostThroughMatchingFiltersOnly) {
  HWND window = host_window();
  if (!window) GTEST_SKIP() << "no display for windows";
  write_file(folder + L"\\scripts\\consent.html.jsonl",
             "{\"fetch\":\"https://corvane-setup.invalid/app.js#main\"}\n"
             "{\"fetch\":\"https://corvane-setup.invalid/logo.png\",\"context\":3}\n"
             "{\"fetch\":\"https://corvane-setup.invalid/font.woff2\",\"context\":5}\n"
             "{\"fetch\":\"https://elsewhere.example/app.js\"}\n"
             "{\"fetch\":\"https://cdn.example/a*b1.css\"}\n"
             "{\"fetch\":\"https://cdn.example/aXb1.css\"}\n"
             "{\"fetch\":\"https://cdn.example/a*b12.css\"}\n"
             "{\"post\":\"fetched\"}\n");
  ICoreWebView2Environment* env = nullptr;
  ICoreWebView2Controller* controller = controller_in(window, &env);
  ASSERT_NE(controller, nullptr);
  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);

  const std::string script = "window.chrome.webview.postMessage('x');";
  std::vector<std::string> seen;
  bool fetched = false;
  resource_handler on_resource;
  on_resource.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
    serve_from_memory(env, args, {{"consent.html", "<p>"}, {"app.js", script}}, seen);
  };
  message_handler on_message;
  on_message.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs*) { fetched = true; };
  EventRegistrationToken token = {};
  for (auto [uri, context] : {std::pair{L"https://corvane-setup.invalid/*.html", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT},
                              std::pair{L"https://corvane-setup.invalid/*.js", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL},
                              std::pair{L"https://corvane-setup.invalid/*", static_cast<COREWEBVIEW2_WEB_RESOURCE_CONTEXT>(3)},
                              std::pair{L"https://cdn.example/a\\*b?.css", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL}})
    ASSERT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, uri, context), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebResourceRequested(webview, &on_resource, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebMessageReceived(webview, &on_message, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, L"https://corvane-setup.invalid/consent.html"), S_OK);
  ASSERT_TRUE(pump_until([&] { return fetched; }));

  EXPECT_EQ(seen, (std::vector<std::string>{"https://corvane-setup.invalid/consent.html GET 1",
                                            "https://corvane-setup.invalid/app.js GET 16",
                                            "https://corvane-setup.invalid/logo.png GET 3",
                                            "https://cdn.example/a*b1.css GET 16"}));
  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  EXPECT_EQ(on_resource.refs, 1) << "Close lets the handler go";
  release_all(webview, controller, env);
  EXPECT_EQ(live_objects(), 0);
  DestroyWindow(window);

  std::string lines = read_file(transcript);
  EXPECT_EQ(missing_in_order(lines, {
                "\"url\":\"https://corvane-setup.invalid/app.js#main\",\"context\":16,\"status\":200,"
                "\"content_type\":\"text/javascript\",\"bytes\":" + std::to_string(script.size()) + "}",
                "\"url\":\"https://corvane-setup.invalid/logo.png\",\"context\":3,\"answered\":false}",
                "\"url\":\"https://corvane-setup.invalid/font.woff2\",\"context\":5,\"filtered\":false}",
                "\"url\":\"https://elsewhere.example/app.js\",\"context\":16,\"filtered\":false}",
                "\"url\":\"https://cdn.example/a*b1.css\",\"context\":16,\"status\":404,",
                "\"url\":\"https://cdn.example/aXb1.css\",\"context\":16,\"filtered\":false}",
                "\"url\":\"https://cdn.example/a*b12.css\",\"context\":16,\"filtered\":false}",
                "{\"event\":\"script_done\"",
            }),
            "")
      << lines;
}

// A host may keep what it got past the event: the request and the response live as long as it
// holds them, the response keeps the host's stream until its own end, and none of them may be
// used from another thread. Once the host lets go, nothing of the double is left.
TEST_F(WebView2Fake, ResourceObjectsLiveAsLongAsTheHostHoldsThem) {
  HWND window = host_window();
  if (!window) GTEST_SKIP() << "no display for windows";
  ICoreWebView2Environment* env = nullptr;
  ICoreWebView2Controller* controller = controller_in(window, &env);
  ASSERT_NE(controller, nullptr);
  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);

  const char page[] = "<p>kept</p>";
  IStream* content = SHCreateMemStream(reinterpret_cast<const BYTE*>(page), sizeof page - 1);
  ASSERT_NE(content, nullptr);
  auto stream_refs = [&] {
    content->AddRef();
    return content->Release();
  };
  ICoreWebView2WebResourceRequest* kept_request = nullptr;
  ICoreWebView2WebResourceResponse* kept_response = nullptr;
  resource_handler keeps, never_removed;
  keeps.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
    ASSERT_EQ(args->lpVtbl->get_Request(args, &kept_request), S_OK);
    ASSERT_EQ(env->lpVtbl->CreateWebResourceResponse(env, content, 200, L"OK", L"Content-Type: text/html", &kept_response),
              S_OK);
    ASSERT_EQ(args->lpVtbl->put_Response(args, kept_response), S_OK);
  };
  never_removed.on_invoke = [](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs*) {};
  EventRegistrationToken token = {};
  ASSERT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, L"https://corvane-setup.invalid/*",
                                                           COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL),
            S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebResourceRequested(webview, &keeps, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebResourceRequested(webview, &never_removed, &token), S_OK);
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, L"https://corvane-setup.invalid/index.html"), S_OK);
  ASSERT_TRUE(pump_until([&] { return read_file(transcript).find("\"event\":\"resource\"") != std::string::npos; }));
  ASSERT_TRUE(kept_request && kept_response);

  struct other_thread_call {
    ICoreWebView2Environment* env;
    ICoreWebView2WebResourceRequest* request;
    HRESULT create_hr, uri_hr;
  } call = {env, kept_request, S_OK, S_OK};
  run_on_other_thread(&call, [](void* context) -> DWORD {
    auto* c = static_cast<other_thread_call*>(context);
    ICoreWebView2WebResourceResponse* response = nullptr;
    c->create_hr = c->env->lpVtbl->CreateWebResourceResponse(c->env, nullptr, 200, L"OK", nullptr, &response);
    LPWSTR uri = nullptr;
    c->uri_hr = c->request->lpVtbl->get_Uri(c->request, &uri);
    return 0;
  });
  EXPECT_EQ(call.create_hr, RPC_E_WRONG_THREAD);
  EXPECT_EQ(call.uri_hr, RPC_E_WRONG_THREAD);

  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  EXPECT_EQ(keeps.refs + never_removed.refs, 2) << "Close lets every handler go";
  release_all(webview, controller, env);
  EXPECT_EQ(live_objects(), 2) << "the request and the response the host still holds";
  IStream* served = nullptr;
  int status = 0;
  EXPECT_EQ(kept_response->lpVtbl->get_Content(kept_response, &served), S_OK);
  EXPECT_EQ(served, content);
  if (served) served->Release();
  EXPECT_EQ(kept_response->lpVtbl->get_StatusCode(kept_response, &status), S_OK);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(stream_refs(), 2u) << "the response holds the host's stream";
  kept_response->lpVtbl->Release(kept_response);
  EXPECT_EQ(stream_refs(), 1u) << "and lets it go with its last reference";
  LPWSTR uri = nullptr;
  EXPECT_EQ(kept_request->lpVtbl->get_Uri(kept_request, &uri), S_OK);
  EXPECT_EQ(take(uri), "https://corvane-setup.invalid/index.html");
  kept_request->lpVtbl->Release(kept_request);
  EXPECT_EQ(live_objects(), 0);
  content->Release();
  DestroyWindow(window);
  FreeLibrary(module);
  module = nullptr;

  std::string lines = read_file(transcript);
  EXPECT_NE(lines.find("\"live\":{\"environment\":0,\"controller\":0,\"webview\":0,\"settings\":0,\"args\":0,"
                       "\"request\":0,\"response\":0}}"),
            std::string::npos)
      << lines;
}

// The page's side relayed to a real page of the bundle in a browser. The webview2_relay scenario
// runs the relay, names the bundle folder in CORVANE_TEST_UI_FOLDER and plays the person on
// uninstall.html (fills the details, Continue Uninstall, asks to close the window); this is
// the host's side: it serves the page and everything it loads from that folder, as the
// program serves its bundle from memory, answers every invoke, sizes the control and reports
// the uninstall.
TEST_F(WebView2Fake, RelaysARealPageToTheHost) {
  if (relay_address.empty()) GTEST_SKIP() << "no page relay: the webview2_relay scenario runs this test";
  std::string ui_folder = environment_text(L"CORVANE_TEST_UI_FOLDER");
  ASSERT_FALSE(ui_folder.empty());
  SetEnvironmentVariableW(L"CORVANE_WV2FAKE_RELAY", wide(relay_address).c_str());
  HWND window = host_window();
  ASSERT_NE(window, nullptr) << "the scenario gives this test a display";
  ICoreWebView2Environment* env = nullptr;
  ICoreWebView2Controller* controller = controller_in(window, &env);
  ASSERT_NE(controller, nullptr);
  controller->lpVtbl->put_Bounds(controller, RECT{0, 0, 640, 400});
  ICoreWebView2* webview = nullptr;
  ASSERT_EQ(controller->lpVtbl->get_CoreWebView2(controller, &webview), S_OK);

  const std::string origin = "https://corvane-setup.invalid/";
  std::vector<std::string> served, missing;
  resource_handler on_resource;
  on_resource.on_invoke = [&](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
    ASSERT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr)) << "requests arrive on the UI thread";
    ICoreWebView2WebResourceRequest* request = nullptr;
    ASSERT_EQ(args->lpVtbl->get_Request(args, &request), S_OK);
    LPWSTR text = nullptr;
    request->lpVtbl->get_Uri(request, &text);
    request->lpVtbl->Release(request);
    std::string uri = take(text);
    ASSERT_EQ(uri.rfind(origin, 0), 0u) << uri;
    std::string name = uri.substr(origin.size(), uri.find_first_of("?#") - origin.size());
    std::string path = ui_folder + "\\" + name;
    for (char& c : path)
      if (c == '/') c = '\\';
    std::string bytes = read_file(wide(path));
    bool found = GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (found)
      served.push_back(name);
    else if (name != "favicon.ico")  // the browser's own request, not the page's
      missing.push_back(name);
    std::string type = name.substr(name.find_last_of('.') + 1);
    static const std::map<std::string, const char*> TYPES = {
        {"html", "text/html; charset=utf-8"}, {"css", "text/css"}, {"js", "text/javascript"}, {"svg", "image/svg+xml"},
        {"png", "image/png"}, {"webp", "image/webp"}, {"woff2", "font/woff2"}, {"json", "application/json"}};
    std::string headers = "Content-Type: " + std::string(TYPES.contains(type) ? TYPES.at(type) : "application/octet-stream");
    IStream* content = found ? SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()))
                             : nullptr;
    ICoreWebView2WebResourceResponse* response = nullptr;
    ASSERT_EQ(env->lpVtbl->CreateWebResourceResponse(env, content, found ? 200 : 404, found ? L"OK" : L"Not Found",
                                                     wide(headers).c_str(), &response),
              S_OK);
    if (content) content->Release();
    args->lpVtbl->put_Response(args, response);
    response->lpVtbl->Release(response);
  };
  EventRegistrationToken resource_token = {};
  ASSERT_EQ(webview->lpVtbl->AddWebResourceRequestedFilter(webview, wide(origin + "*").c_str(),
                                                           COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL),
            S_OK);
  ASSERT_EQ(webview->lpVtbl->add_WebResourceRequested(webview, &on_resource, &resource_token), S_OK);

  std::vector<std::string> invokes, sources;
  message_handler on_message;
  on_message.on_invoke = [&](ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) {
    ASSERT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr)) << "page messages arrive on the UI thread";
    LPWSTR text = nullptr;
    args->lpVtbl->get_WebMessageAsJson(args, &text);
    std::string json = take(text);
    args->lpVtbl->get_Source(args, &text);
    sources.push_back(take(text));
    const char* prefix = "{\"type\":\"invoke\",\"id\":";
    ASSERT_EQ(json.rfind(prefix, 0), 0u) << "the page's bridge sends only invokes: " << json;
    invokes.push_back(json);
    std::string id = std::to_string(atoi(json.c_str() + strlen(prefix)));
    auto post = [&](const std::string& message) { sender->lpVtbl->PostWebMessageAsJson(sender, wide(message).c_str()); };
    if (json.find("\"cmd\":\"get_install_state\"") != std::string::npos) {
      // Sized before the answer: the page must have its new size when the answer arrives.
      controller->lpVtbl->put_Bounds(controller, RECT{0, 0, 704, 471});
      post("{\"type\":\"response\",\"id\":" + id + ",\"result\":{\"dry_run\":true,\"user_id\":\"relay-user\"}}");
      return;
    }
    post("{\"type\":\"response\",\"id\":" + id + ",\"result\":null}");
    if (json.find("\"action\":\"begin\"") == std::string::npos) return;
    post("{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"closing\",\"percent\":40}}");
    post("{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"uninstalling\",\"percent\":100}}");
    post("{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"done\",\"terminal\":\"finish\","
         "\"outcome\":\"success\"}}");
  };
  EventRegistrationToken token = {};
  ASSERT_EQ(webview->lpVtbl->add_WebMessageReceived(webview, &on_message, &token), S_OK);
  std::string url = origin + "uninstall.html";
  ASSERT_EQ(webview->lpVtbl->Navigate(webview, wide(url).c_str()), S_OK);

  // The person finishes the uninstall and closes the window: the scenario waits for the page.
  ASSERT_TRUE(pump_until([] { return g_close_requests > 0; }, 120000)) << "no close request from the page relay";

  std::vector<std::string> commands;
  for (const std::string& json : invokes) {
    size_t at = json.find("\"cmd\":\"") + 7;
    std::string cmd = json.substr(at, json.find('"', at) - at);
    if (cmd == "signal_user_action") cmd += json.find("\"action\":\"begin\"") != std::string::npos ? " begin" : " done";
    if (cmd != "log_from_js") commands.push_back(cmd);
  }
  EXPECT_EQ(commands, (std::vector<std::string>{"get_install_state", "show_window", "sibling_show_complete",
                                                "signal_user_action begin", "enable_close", "signal_user_action done"}));
  for (const std::string& source : sources) EXPECT_EQ(source, url);
  // The page and what it loads came from the host, and it asked for nothing the bundle lacks.
  ASSERT_FALSE(served.empty());
  EXPECT_EQ(served.front(), "uninstall.html");
  EXPECT_NE(std::find(served.begin(), served.end(), "bridge.js"), served.end());
  EXPECT_EQ(missing, std::vector<std::string>{});

  EXPECT_EQ(webview->lpVtbl->remove_WebMessageReceived(webview, token), S_OK);
  EXPECT_EQ(controller->lpVtbl->Close(controller), S_OK);
  EXPECT_EQ(on_resource.refs, 1);
  release_all(webview, controller, env);
  EXPECT_EQ(live_objects(), 0);
  DestroyWindow(window);
  FreeLibrary(module);
  module = nullptr;

  std::string lines = read_file(transcript);
  const char* expected_in_order[] = {
      "{\"event\":\"navigate\"",
      "\"served\":true}",
      "{\"event\":\"relay\"",
      "\"address\":",
      "\"url\":\"https://corvane-setup.invalid/uninstall.html\",\"context\":1,\"status\":200,",
      "\"context\":6,\"status\":200,\"content_type\":\"text/javascript\"",
      "{\"event\":\"page_post\"",
      "{\"event\":\"host_post\"",
      "{\"event\":\"bounds\"",
      "\"right\":704,\"bottom\":471}",
      "\\\"dry_run\\\":true",
      "\\\"action\\\":\\\"begin\\\"",
      "{\"event\":\"window_close\"",
      "{\"event\":\"close\"",
      "\"live\":{\"environment\":0,\"controller\":0,\"webview\":0,\"settings\":0,\"args\":0,\"request\":0,"
      "\"response\":0}}",
  };
  size_t at = 0;
  for (const char* expected : expected_in_order) {
    size_t found = lines.find(expected, at);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << expected << "\nin:\n" << lines;
    at = found + strlen(expected);
  }
  EXPECT_EQ(lines.find("relay_failed"), std::string::npos) << lines;
}

TEST_F(WebView2Fake, RuleFilesFailCreationAlwaysOrOnceAndTheRuntimeCanBeMissing) {
  LPWSTR version = nullptr;
  EXPECT_EQ(browser_version(nullptr, &version), S_OK);
  EXPECT_EQ(take(version), "131.0.2903.70");

  write_file(folder + L"\\faults\\version_missing", "");
  version = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(browser_version(nullptr, &version), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(version, nullptr);
  DeleteFileW((folder + L"\\faults\\version_missing").c_str());

  // Refused at once, with the rule file's code: the handler is never called nor kept.
  write_file(folder + L"\\faults\\environment_sync", "0x80070005\n");
  environment_handler never;
  never.on_invoke = [](HRESULT, ICoreWebView2Environment*) { ADD_FAILURE() << "called back after a refusal"; };
  EXPECT_EQ(create_environment(nullptr, nullptr, nullptr, &never), E_ACCESSDENIED);
  pump_until([] { return false; }, 100);
  EXPECT_EQ(never.refs, 1);
  DeleteFileW((folder + L"\\faults\\environment_sync").c_str());

  // A one-shot rule fails the first creation only, later, through the handler.
  write_file(folder + L"\\faults\\environment_async.once", "");
  HRESULT delivered = S_OK;
  EXPECT_EQ(environment(&delivered), nullptr);
  EXPECT_EQ(delivered, E_FAIL);
  EXPECT_EQ(GetFileAttributesW((folder + L"\\faults\\environment_async.once").c_str()), INVALID_FILE_ATTRIBUTES)
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
