// The program's own declarations of the few WebView2 COM interfaces and loader entry points
// it uses: the host calls them, and the test double of the loader implements them.
//
// Written as C-style function tables so that every slot's offset can be checked at compile
// time (webview2_abi_win.cpp, for both architectures). The rules that keep them binary-
// compatible with the runtime:
// - every slot in order from IUnknown's three up to the last one used; slots the program
//   never calls are untyped placeholders that only hold their place (each commented with
//   the method it stands for);
// - every function is __stdcall (STDMETHODCALLTYPE): on i686 that passes `self` on the stack
//   and lets the callee pop the arguments, as COM requires; x86-64 has one convention anyway;
// - flags are BOOL (32-bit int), never C++ bool; RECT and EventRegistrationToken go by value
//   where the interface takes them by value;
// - an interface that extends another (Settings3, Controller4) repeats its base's slots as
//   placeholders, so its table is complete on its own; it is reached by QueryInterface on the
//   base object, and a runtime too old to have it answers E_NOINTERFACE.
// Strings that the runtime returns through LPWSTR* are freed with CoTaskMemFree.
#pragma once

#include <windows.h>
#include <eventtoken.h>

typedef struct ICoreWebView2 ICoreWebView2;
typedef struct ICoreWebView2Controller ICoreWebView2Controller;
typedef struct ICoreWebView2Environment ICoreWebView2Environment;
typedef struct ICoreWebView2Settings ICoreWebView2Settings;
typedef struct ICoreWebView2WebMessageReceivedEventArgs ICoreWebView2WebMessageReceivedEventArgs;
typedef struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
typedef struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler
    ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;
typedef struct ICoreWebView2WebMessageReceivedEventHandler ICoreWebView2WebMessageReceivedEventHandler;
typedef struct ICoreWebView2NavigationStartingEventHandler ICoreWebView2NavigationStartingEventHandler;
typedef struct ICoreWebView2NavigationStartingEventArgs ICoreWebView2NavigationStartingEventArgs;
typedef struct ICoreWebView2NewWindowRequestedEventHandler ICoreWebView2NewWindowRequestedEventHandler;
typedef struct ICoreWebView2NewWindowRequestedEventArgs ICoreWebView2NewWindowRequestedEventArgs;
typedef struct ICoreWebView2Settings3 ICoreWebView2Settings3;
typedef struct ICoreWebView2Controller4 ICoreWebView2Controller4;
typedef struct ICoreWebView2WebResourceRequestedEventHandler ICoreWebView2WebResourceRequestedEventHandler;
typedef struct ICoreWebView2WebResourceRequestedEventArgs ICoreWebView2WebResourceRequestedEventArgs;
typedef struct ICoreWebView2WebResourceRequest ICoreWebView2WebResourceRequest;
typedef struct ICoreWebView2WebResourceResponse ICoreWebView2WebResourceResponse;
// Only ever passed as null to the loader.
typedef struct ICoreWebView2EnvironmentOptions ICoreWebView2EnvironmentOptions;

typedef enum COREWEBVIEW2_MOVE_FOCUS_REASON {
  COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC = 0,
  COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT = 1,
  COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS = 2,
} COREWEBVIEW2_MOVE_FOCUS_REASON;

// Plain consecutive values, not flags; ALL matches every kind of resource.
typedef enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT {
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0,
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT = 1,
} COREWEBVIEW2_WEB_RESOURCE_CONTEXT;

// Interface identifiers (stable since the runtime's first general release; pre-release
// headers used other values).
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler = {
    0x4e8a3389, 0xc9d8, 0x4bd2, {0xb6, 0xb5, 0x12, 0x4f, 0xee, 0x6c, 0xc1, 0x4d}};
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler = {
    0x6c4819f3, 0xc9b7, 0x4260, {0x81, 0x27, 0xc9, 0xf5, 0xbd, 0xe7, 0xf6, 0x8c}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventHandler = {
    0x57213f19, 0x00e6, 0x49fa, {0x8e, 0x07, 0x89, 0x8e, 0xa0, 0x1e, 0xcb, 0xd2}};
inline constexpr IID IID_ICoreWebView2Environment = {
    0xb96d755e, 0x0319, 0x4e92, {0xa2, 0x96, 0x23, 0x43, 0x6f, 0x46, 0xa1, 0xfc}};
inline constexpr IID IID_ICoreWebView2Controller = {
    0x4d00c0d1, 0x9434, 0x4eb6, {0x80, 0x78, 0x86, 0x97, 0xa5, 0x60, 0x33, 0x4f}};
inline constexpr IID IID_ICoreWebView2 = {
    0x76eceacb, 0x0462, 0x4d94, {0xac, 0x83, 0x42, 0x3a, 0x67, 0x93, 0x77, 0x5e}};
inline constexpr IID IID_ICoreWebView2Settings = {
    0xe562e4f0, 0xd7fa, 0x43ac, {0x8d, 0x71, 0xc0, 0x51, 0x50, 0x49, 0x9f, 0x00}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventArgs = {
    0x0f99a40c, 0xe962, 0x4207, {0x9e, 0x92, 0xe3, 0xd5, 0x42, 0xef, 0xf8, 0x49}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventHandler = {
    0x9adbe429, 0xf36d, 0x432b, {0x9d, 0xdc, 0xf8, 0x88, 0x1f, 0xbd, 0x76, 0xe3}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventArgs = {
    0x5b495469, 0xe119, 0x438a, {0x9b, 0x18, 0x76, 0x04, 0xf2, 0x5f, 0x2e, 0x49}};
inline constexpr IID IID_ICoreWebView2NewWindowRequestedEventHandler = {
    0xd4c185fe, 0xc81c, 0x4989, {0x97, 0xaf, 0x2d, 0x3f, 0xa7, 0xab, 0x56, 0x51}};
inline constexpr IID IID_ICoreWebView2NewWindowRequestedEventArgs = {
    0x34acb11c, 0xfc37, 0x4418, {0x91, 0x32, 0xf9, 0xc2, 0x1d, 0x1e, 0xaf, 0xb9}};
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventHandler = {
    0xab00b74c, 0x15f1, 0x4646, {0x80, 0xe8, 0xe7, 0x63, 0x41, 0xd2, 0x5d, 0x71}};
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventArgs = {
    0x453e667f, 0x12c7, 0x49d4, {0xbe, 0x6d, 0xdd, 0xbe, 0x79, 0x56, 0xf5, 0x7a}};
inline constexpr IID IID_ICoreWebView2WebResourceRequest = {
    0x97055cd4, 0x512c, 0x4264, {0x8b, 0x5f, 0xe3, 0xf4, 0x46, 0xce, 0xa6, 0xa5}};
inline constexpr IID IID_ICoreWebView2WebResourceResponse = {
    0xaafcc94f, 0xfa27, 0x48fd, {0x97, 0xdf, 0x83, 0x0e, 0xf7, 0x5a, 0xae, 0xc9}};
// Offered by newer runtimes only (QueryInterface on the settings / the controller).
inline constexpr IID IID_ICoreWebView2Settings3 = {
    0xfdb5ab74, 0xaf33, 0x4854, {0x84, 0xf0, 0x0a, 0x63, 0x1d, 0xeb, 0x5e, 0xba}};
inline constexpr IID IID_ICoreWebView2Controller4 = {
    0x97d418d5, 0xa426, 0x4e49, {0xa1, 0x51, 0xe1, 0xa1, 0x0f, 0x32, 0x7d, 0x9e}};

// IUnknown's three slots, first in every table.
#define WEBVIEW2_IUNKNOWN_SLOTS(Self)                                                  \
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(Self * self, REFIID riid, void** object); \
  ULONG(STDMETHODCALLTYPE* AddRef)(Self * self);                                       \
  ULONG(STDMETHODCALLTYPE* Release)(Self * self)

// A slot the program never calls: it only holds its place in the table.
typedef void* webview2_unused_slot;

// --- The handlers the host implements -------------------------------------------------------

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* self,
                                     HRESULT error_code, ICoreWebView2Environment* result);  // 3
};
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler {
  const ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl* lpVtbl;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* self,
                                     HRESULT error_code, ICoreWebView2Controller* result);  // 3
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler {
  const ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl* lpVtbl;
};

struct ICoreWebView2WebMessageReceivedEventHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebMessageReceivedEventHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2WebMessageReceivedEventHandler* self, ICoreWebView2* sender,
                                     ICoreWebView2WebMessageReceivedEventArgs* args);  // 3
};
struct ICoreWebView2WebMessageReceivedEventHandler {
  const ICoreWebView2WebMessageReceivedEventHandlerVtbl* lpVtbl;
};

struct ICoreWebView2NavigationStartingEventHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2NavigationStartingEventHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2NavigationStartingEventHandler* self, ICoreWebView2* sender,
                                     ICoreWebView2NavigationStartingEventArgs* args);  // 3
};
struct ICoreWebView2NavigationStartingEventHandler {
  const ICoreWebView2NavigationStartingEventHandlerVtbl* lpVtbl;
};

struct ICoreWebView2NewWindowRequestedEventHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2NewWindowRequestedEventHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2NewWindowRequestedEventHandler* self, ICoreWebView2* sender,
                                     ICoreWebView2NewWindowRequestedEventArgs* args);  // 3
};
struct ICoreWebView2NewWindowRequestedEventHandler {
  const ICoreWebView2NewWindowRequestedEventHandlerVtbl* lpVtbl;
};

struct ICoreWebView2WebResourceRequestedEventHandlerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebResourceRequestedEventHandler);
  HRESULT(STDMETHODCALLTYPE* Invoke)(ICoreWebView2WebResourceRequestedEventHandler* self, ICoreWebView2* sender,
                                     ICoreWebView2WebResourceRequestedEventArgs* args);  // 3
};
struct ICoreWebView2WebResourceRequestedEventHandler {
  const ICoreWebView2WebResourceRequestedEventHandlerVtbl* lpVtbl;
};

// --- The runtime's objects the host calls ----------------------------------------------------

struct ICoreWebView2EnvironmentVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2Environment);
  HRESULT(STDMETHODCALLTYPE* CreateCoreWebView2Controller)(
      ICoreWebView2Environment* self, HWND parent_window,
      ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler);  // 3
  // headers: raw response-header lines, newline-separated; content may be null (no body).
  HRESULT(STDMETHODCALLTYPE* CreateWebResourceResponse)(ICoreWebView2Environment* self, IStream* content,
                                                        int status_code, LPCWSTR reason_phrase, LPCWSTR headers,
                                                        ICoreWebView2WebResourceResponse** response);  // 4
  // Slots 5-7 (get_BrowserVersionString, add_/remove_NewBrowserVersionAvailable) come after
  // the last one used and are left out.
};
struct ICoreWebView2Environment {
  const ICoreWebView2EnvironmentVtbl* lpVtbl;
};

struct ICoreWebView2ControllerVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2Controller);
  webview2_unused_slot get_IsVisible;                                                          // 3
  HRESULT(STDMETHODCALLTYPE* put_IsVisible)(ICoreWebView2Controller* self, BOOL is_visible);  // 4
  HRESULT(STDMETHODCALLTYPE* get_Bounds)(ICoreWebView2Controller* self, RECT* bounds);        // 5
  HRESULT(STDMETHODCALLTYPE* put_Bounds)(ICoreWebView2Controller* self, RECT bounds);         // 6
  // 7-11: get_/put_ZoomFactor, add_/remove_ZoomFactorChanged, SetBoundsAndZoomFactor.
  webview2_unused_slot unused_7_to_11[5];
  HRESULT(STDMETHODCALLTYPE* MoveFocus)(ICoreWebView2Controller* self, COREWEBVIEW2_MOVE_FOCUS_REASON reason);  // 12
  // 13-23: add_/remove_ MoveFocusRequested, GotFocus, LostFocus, AcceleratorKeyPressed;
  // get_/put_ParentWindow, NotifyParentWindowPositionChanged.
  webview2_unused_slot unused_13_to_23[11];
  HRESULT(STDMETHODCALLTYPE* Close)(ICoreWebView2Controller* self);                                    // 24
  HRESULT(STDMETHODCALLTYPE* get_CoreWebView2)(ICoreWebView2Controller* self, ICoreWebView2** webview);  // 25
};
struct ICoreWebView2Controller {
  const ICoreWebView2ControllerVtbl* lpVtbl;
};

struct ICoreWebView2Controller4Vtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2Controller4);
  webview2_unused_slot controller_3_to_25[23];  // ICoreWebView2Controller, as above
  // 26-27 (Controller2): get_/put_DefaultBackgroundColor; 28-35 (Controller3): get_/put_
  // RasterizationScale, get_/put_ShouldDetectMonitorScaleChanges, add_/remove_
  // RasterizationScaleChanged, get_/put_BoundsMode.
  webview2_unused_slot unused_26_to_35[10];
  webview2_unused_slot get_AllowExternalDrop;                                                          // 36
  HRESULT(STDMETHODCALLTYPE* put_AllowExternalDrop)(ICoreWebView2Controller4* self, BOOL allowed);   // 37
};
struct ICoreWebView2Controller4 {
  const ICoreWebView2Controller4Vtbl* lpVtbl;
};

struct ICoreWebView2Vtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2);
  HRESULT(STDMETHODCALLTYPE* get_Settings)(ICoreWebView2* self, ICoreWebView2Settings** settings);  // 3
  webview2_unused_slot get_Source;                                                                   // 4
  HRESULT(STDMETHODCALLTYPE* Navigate)(ICoreWebView2* self, LPCWSTR uri);                           // 5
  webview2_unused_slot NavigateToString;                                                             // 6
  HRESULT(STDMETHODCALLTYPE* add_NavigationStarting)(ICoreWebView2* self,
                                                     ICoreWebView2NavigationStartingEventHandler* handler,
                                                     EventRegistrationToken* token);  // 7
  webview2_unused_slot remove_NavigationStarting;                                      // 8
  // 9-31: add_/remove_ ContentLoading, SourceChanged, HistoryChanged, NavigationCompleted,
  // FrameNavigationStarting, FrameNavigationCompleted, ScriptDialogOpening,
  // PermissionRequested, ProcessFailed; Add-/RemoveScriptToExecuteOnDocumentCreated,
  // ExecuteScript, CapturePreview, Reload.
  webview2_unused_slot unused_9_to_31[23];
  HRESULT(STDMETHODCALLTYPE* PostWebMessageAsJson)(ICoreWebView2* self, LPCWSTR web_message_as_json);  // 32
  webview2_unused_slot PostWebMessageAsString;                                                        // 33
  HRESULT(STDMETHODCALLTYPE* add_WebMessageReceived)(ICoreWebView2* self,
                                                     ICoreWebView2WebMessageReceivedEventHandler* handler,
                                                     EventRegistrationToken* token);                  // 34
  HRESULT(STDMETHODCALLTYPE* remove_WebMessageReceived)(ICoreWebView2* self, EventRegistrationToken token);  // 35
  // 36-43: CallDevToolsProtocolMethod, get_BrowserProcessId, get_CanGoBack, get_CanGoForward,
  // GoBack, GoForward, GetDevToolsProtocolEventReceiver, Stop.
  webview2_unused_slot unused_36_to_43[8];
  HRESULT(STDMETHODCALLTYPE* add_NewWindowRequested)(ICoreWebView2* self,
                                                     ICoreWebView2NewWindowRequestedEventHandler* handler,
                                                     EventRegistrationToken* token);  // 44
  // 45-54: remove_NewWindowRequested, add_/remove_DocumentTitleChanged, get_DocumentTitle,
  // Add-/RemoveHostObjectToScript, OpenDevToolsWindow, add_/remove_
  // ContainsFullScreenElementChanged, get_ContainsFullScreenElement.
  webview2_unused_slot unused_45_to_54[10];
  HRESULT(STDMETHODCALLTYPE* add_WebResourceRequested)(ICoreWebView2* self,
                                                       ICoreWebView2WebResourceRequestedEventHandler* handler,
                                                       EventRegistrationToken* token);            // 55
  HRESULT(STDMETHODCALLTYPE* remove_WebResourceRequested)(ICoreWebView2* self, EventRegistrationToken token);  // 56
  // The event is raised only for requests whose whole URI matches a filter's glob (* and ?).
  HRESULT(STDMETHODCALLTYPE* AddWebResourceRequestedFilter)(ICoreWebView2* self, LPCWSTR uri,
                                                            COREWEBVIEW2_WEB_RESOURCE_CONTEXT context);  // 57
  HRESULT(STDMETHODCALLTYPE* RemoveWebResourceRequestedFilter)(ICoreWebView2* self, LPCWSTR uri,
                                                               COREWEBVIEW2_WEB_RESOURCE_CONTEXT context);  // 58
  // Slots 59-60 come after the last one used and are left out.
};
struct ICoreWebView2 {
  const ICoreWebView2Vtbl* lpVtbl;
};

struct ICoreWebView2SettingsVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2Settings);
  webview2_unused_slot get_IsScriptEnabled;                                                       // 3
  webview2_unused_slot put_IsScriptEnabled;                                                       // 4
  webview2_unused_slot get_IsWebMessageEnabled;                                                   // 5
  HRESULT(STDMETHODCALLTYPE* put_IsWebMessageEnabled)(ICoreWebView2Settings* self, BOOL enabled);  // 6
  webview2_unused_slot get_AreDefaultScriptDialogsEnabled;                                        // 7
  webview2_unused_slot put_AreDefaultScriptDialogsEnabled;                                        // 8
  webview2_unused_slot get_IsStatusBarEnabled;                                                    // 9
  HRESULT(STDMETHODCALLTYPE* put_IsStatusBarEnabled)(ICoreWebView2Settings* self, BOOL enabled);   // 10
  webview2_unused_slot get_AreDevToolsEnabled;                                                    // 11
  HRESULT(STDMETHODCALLTYPE* put_AreDevToolsEnabled)(ICoreWebView2Settings* self, BOOL enabled);   // 12
  webview2_unused_slot get_AreDefaultContextMenusEnabled;                                         // 13
  HRESULT(STDMETHODCALLTYPE* put_AreDefaultContextMenusEnabled)(ICoreWebView2Settings* self, BOOL enabled);  // 14
  webview2_unused_slot get_AreHostObjectsAllowed;                                                 // 15
  webview2_unused_slot put_AreHostObjectsAllowed;                                                 // 16
  webview2_unused_slot get_IsZoomControlEnabled;                                                  // 17
  HRESULT(STDMETHODCALLTYPE* put_IsZoomControlEnabled)(ICoreWebView2Settings* self, BOOL enabled);       // 18
  webview2_unused_slot get_IsBuiltInErrorPageEnabled;                                                    // 19
  HRESULT(STDMETHODCALLTYPE* put_IsBuiltInErrorPageEnabled)(ICoreWebView2Settings* self, BOOL enabled);  // 20
};
struct ICoreWebView2Settings {
  const ICoreWebView2SettingsVtbl* lpVtbl;
};

struct ICoreWebView2Settings3Vtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2Settings3);
  webview2_unused_slot settings_3_to_20[18];  // ICoreWebView2Settings, as above
  webview2_unused_slot get_UserAgent;         // 21 (Settings2)
  webview2_unused_slot put_UserAgent;         // 22 (Settings2)
  webview2_unused_slot get_AreBrowserAcceleratorKeysEnabled;  // 23
  // Off: no reload, find, print or zoom keys; editing keys stay. Applies from the next navigation.
  HRESULT(STDMETHODCALLTYPE* put_AreBrowserAcceleratorKeysEnabled)(ICoreWebView2Settings3* self, BOOL enabled);  // 24
};
struct ICoreWebView2Settings3 {
  const ICoreWebView2Settings3Vtbl* lpVtbl;
};

struct ICoreWebView2WebMessageReceivedEventArgsVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebMessageReceivedEventArgs);
  HRESULT(STDMETHODCALLTYPE* get_Source)(ICoreWebView2WebMessageReceivedEventArgs* self, LPWSTR* source);  // 3
  HRESULT(STDMETHODCALLTYPE* get_WebMessageAsJson)(ICoreWebView2WebMessageReceivedEventArgs* self,
                                                   LPWSTR* json);  // 4
  // Fails with E_INVALIDARG when the page posted anything but a string.
  HRESULT(STDMETHODCALLTYPE* TryGetWebMessageAsString)(ICoreWebView2WebMessageReceivedEventArgs* self,
                                                       LPWSTR* text);  // 5
};
struct ICoreWebView2WebMessageReceivedEventArgs {
  const ICoreWebView2WebMessageReceivedEventArgsVtbl* lpVtbl;
};

struct ICoreWebView2NavigationStartingEventArgsVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2NavigationStartingEventArgs);
  HRESULT(STDMETHODCALLTYPE* get_Uri)(ICoreWebView2NavigationStartingEventArgs* self, LPWSTR* uri);  // 3
  // 4-7: get_IsUserInitiated, get_IsRedirected, get_RequestHeaders, get_Cancel.
  webview2_unused_slot unused_4_to_7[4];
  HRESULT(STDMETHODCALLTYPE* put_Cancel)(ICoreWebView2NavigationStartingEventArgs* self, BOOL cancel);  // 8
  webview2_unused_slot get_NavigationId;                                                                // 9
};
struct ICoreWebView2NavigationStartingEventArgs {
  const ICoreWebView2NavigationStartingEventArgsVtbl* lpVtbl;
};

struct ICoreWebView2NewWindowRequestedEventArgsVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2NewWindowRequestedEventArgs);
  HRESULT(STDMETHODCALLTYPE* get_Uri)(ICoreWebView2NewWindowRequestedEventArgs* self, LPWSTR* uri);  // 3
  webview2_unused_slot put_NewWindow;                                                                 // 4
  webview2_unused_slot get_NewWindow;                                                                 // 5
  // Handled with no new window: the runtime opens none (otherwise it opens a popup of its own).
  HRESULT(STDMETHODCALLTYPE* put_Handled)(ICoreWebView2NewWindowRequestedEventArgs* self, BOOL handled);  // 6
  // 7-10: get_Handled, get_IsUserInitiated, GetDeferral, get_WindowFeatures.
  webview2_unused_slot unused_7_to_10[4];
};
struct ICoreWebView2NewWindowRequestedEventArgs {
  const ICoreWebView2NewWindowRequestedEventArgsVtbl* lpVtbl;
};

struct ICoreWebView2WebResourceRequestedEventArgsVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebResourceRequestedEventArgs);
  HRESULT(STDMETHODCALLTYPE* get_Request)(ICoreWebView2WebResourceRequestedEventArgs* self,
                                          ICoreWebView2WebResourceRequest** request);  // 3
  HRESULT(STDMETHODCALLTYPE* get_Response)(ICoreWebView2WebResourceRequestedEventArgs* self,
                                           ICoreWebView2WebResourceResponse** response);  // 4
  HRESULT(STDMETHODCALLTYPE* put_Response)(ICoreWebView2WebResourceRequestedEventArgs* self,
                                           ICoreWebView2WebResourceResponse* response);  // 5
  webview2_unused_slot GetDeferral;                                                      // 6
  HRESULT(STDMETHODCALLTYPE* get_ResourceContext)(ICoreWebView2WebResourceRequestedEventArgs* self,
                                                  COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context);  // 7
};
struct ICoreWebView2WebResourceRequestedEventArgs {
  const ICoreWebView2WebResourceRequestedEventArgsVtbl* lpVtbl;
};

struct ICoreWebView2WebResourceRequestVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebResourceRequest);
  HRESULT(STDMETHODCALLTYPE* get_Uri)(ICoreWebView2WebResourceRequest* self, LPWSTR* uri);  // 3
  webview2_unused_slot put_Uri;                                                              // 4
  HRESULT(STDMETHODCALLTYPE* get_Method)(ICoreWebView2WebResourceRequest* self, LPWSTR* method);  // 5
  // 6-9: put_Method, get_/put_Content, get_Headers.
  webview2_unused_slot unused_6_to_9[4];
};
struct ICoreWebView2WebResourceRequest {
  const ICoreWebView2WebResourceRequestVtbl* lpVtbl;
};

struct ICoreWebView2WebResourceResponseVtbl {
  WEBVIEW2_IUNKNOWN_SLOTS(ICoreWebView2WebResourceResponse);
  HRESULT(STDMETHODCALLTYPE* get_Content)(ICoreWebView2WebResourceResponse* self, IStream** content);  // 3
  webview2_unused_slot put_Content;                                                                     // 4
  webview2_unused_slot get_Headers;                                                                     // 5
  HRESULT(STDMETHODCALLTYPE* get_StatusCode)(ICoreWebView2WebResourceResponse* self, int* status_code);  // 6
  // 7-9: put_StatusCode, get_/put_ReasonPhrase.
  webview2_unused_slot unused_7_to_9[3];
};
struct ICoreWebView2WebResourceResponse {
  const ICoreWebView2WebResourceResponseVtbl* lpVtbl;
};

#undef WEBVIEW2_IUNKNOWN_SLOTS

// --- The loader library's two entry points, resolved by their undecorated names ---------------

// The completed handler is invoked later, on the calling thread, unless this fails at once.
typedef HRESULT(STDAPICALLTYPE* CreateCoreWebView2EnvironmentWithOptions_fn)(
    PCWSTR browser_executable_folder, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);
// 0x80070002 (file not found) with a null text when no runtime is installed.
typedef HRESULT(STDAPICALLTYPE* GetAvailableCoreWebView2BrowserVersionString_fn)(PCWSTR browser_executable_folder,
                                                                                  LPWSTR* version_info);

inline constexpr char WEBVIEW2_CREATE_ENVIRONMENT_EXPORT[] = "CreateCoreWebView2EnvironmentWithOptions";
inline constexpr char WEBVIEW2_VERSION_EXPORT[] = "GetAvailableCoreWebView2BrowserVersionString";
