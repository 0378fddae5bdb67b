// Compile-time proof that webview2_abi.h matches the runtime's binary interface: the slot of
// every method the program calls or implements, and its exact signature. Part of the
// Windows layer, so both the 32-bit product and the x86-64 twin check their own layout.
#include <cstddef>
#include <type_traits>

#include "ui/webview2_abi.h"

namespace {

constexpr size_t slot_offset(size_t slot) { return slot * sizeof(void*); }

#define CHECK_SLOT(Interface, method, slot, ...)                                                   \
  static_assert(offsetof(Interface##Vtbl, method) == slot_offset(slot), #Interface "::" #method); \
  static_assert(std::is_same_v<decltype(Interface##Vtbl::method), HRESULT(STDMETHODCALLTYPE*)(Interface*, ##__VA_ARGS__)>, \
                #Interface "::" #method " signature")

#define CHECK_IUNKNOWN(Interface)                                                                    \
  CHECK_SLOT(Interface, QueryInterface, 0, REFIID, void**);                                          \
  static_assert(offsetof(Interface##Vtbl, AddRef) == slot_offset(1), #Interface "::AddRef");         \
  static_assert(offsetof(Interface##Vtbl, Release) == slot_offset(2), #Interface "::Release");       \
  static_assert(std::is_same_v<decltype(Interface##Vtbl::Release), ULONG(STDMETHODCALLTYPE*)(Interface*)>, \
                #Interface "::Release signature");                                                   \
  static_assert(offsetof(Interface, lpVtbl) == 0 && sizeof(Interface) == sizeof(void*), #Interface " object")

CHECK_IUNKNOWN(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
CHECK_SLOT(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, Invoke, 3, HRESULT, ICoreWebView2Environment*);
static_assert(sizeof(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler);
CHECK_SLOT(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, Invoke, 3, HRESULT, ICoreWebView2Controller*);
static_assert(sizeof(ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2WebMessageReceivedEventHandler);
CHECK_SLOT(ICoreWebView2WebMessageReceivedEventHandler, Invoke, 3, ICoreWebView2*,
           ICoreWebView2WebMessageReceivedEventArgs*);
static_assert(sizeof(ICoreWebView2WebMessageReceivedEventHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2NavigationStartingEventHandler);
CHECK_SLOT(ICoreWebView2NavigationStartingEventHandler, Invoke, 3, ICoreWebView2*,
           ICoreWebView2NavigationStartingEventArgs*);
static_assert(sizeof(ICoreWebView2NavigationStartingEventHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2NewWindowRequestedEventHandler);
CHECK_SLOT(ICoreWebView2NewWindowRequestedEventHandler, Invoke, 3, ICoreWebView2*,
           ICoreWebView2NewWindowRequestedEventArgs*);
static_assert(sizeof(ICoreWebView2NewWindowRequestedEventHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2Environment);
CHECK_SLOT(ICoreWebView2Environment, CreateCoreWebView2Controller, 3, HWND,
           ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*);
CHECK_SLOT(ICoreWebView2Environment, CreateWebResourceResponse, 4, IStream*, int, LPCWSTR, LPCWSTR,
           ICoreWebView2WebResourceResponse**);

CHECK_IUNKNOWN(ICoreWebView2Controller);
CHECK_SLOT(ICoreWebView2Controller, put_IsVisible, 4, BOOL);
CHECK_SLOT(ICoreWebView2Controller, get_Bounds, 5, RECT*);
CHECK_SLOT(ICoreWebView2Controller, put_Bounds, 6, RECT);
CHECK_SLOT(ICoreWebView2Controller, MoveFocus, 12, COREWEBVIEW2_MOVE_FOCUS_REASON);
CHECK_SLOT(ICoreWebView2Controller, Close, 24);
CHECK_SLOT(ICoreWebView2Controller, get_CoreWebView2, 25, ICoreWebView2**);

CHECK_IUNKNOWN(ICoreWebView2);
CHECK_SLOT(ICoreWebView2, get_Settings, 3, ICoreWebView2Settings**);
CHECK_SLOT(ICoreWebView2, Navigate, 5, LPCWSTR);
CHECK_SLOT(ICoreWebView2, PostWebMessageAsJson, 32, LPCWSTR);
CHECK_SLOT(ICoreWebView2, add_WebMessageReceived, 34, ICoreWebView2WebMessageReceivedEventHandler*,
           EventRegistrationToken*);
CHECK_SLOT(ICoreWebView2, remove_WebMessageReceived, 35, EventRegistrationToken);
CHECK_SLOT(ICoreWebView2, add_NavigationStarting, 7, ICoreWebView2NavigationStartingEventHandler*,
           EventRegistrationToken*);
CHECK_SLOT(ICoreWebView2, add_NewWindowRequested, 44, ICoreWebView2NewWindowRequestedEventHandler*,
           EventRegistrationToken*);
CHECK_SLOT(ICoreWebView2, add_WebResourceRequested, 55, ICoreWebView2WebResourceRequestedEventHandler*,
           EventRegistrationToken*);
CHECK_SLOT(ICoreWebView2, remove_WebResourceRequested, 56, EventRegistrationToken);
CHECK_SLOT(ICoreWebView2, AddWebResourceRequestedFilter, 57, LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT);
CHECK_SLOT(ICoreWebView2, RemoveWebResourceRequestedFilter, 58, LPCWSTR, COREWEBVIEW2_WEB_RESOURCE_CONTEXT);

CHECK_IUNKNOWN(ICoreWebView2WebResourceRequestedEventHandler);
CHECK_SLOT(ICoreWebView2WebResourceRequestedEventHandler, Invoke, 3, ICoreWebView2*,
           ICoreWebView2WebResourceRequestedEventArgs*);
static_assert(sizeof(ICoreWebView2WebResourceRequestedEventHandlerVtbl) == slot_offset(4));

CHECK_IUNKNOWN(ICoreWebView2WebResourceRequestedEventArgs);
CHECK_SLOT(ICoreWebView2WebResourceRequestedEventArgs, get_Request, 3, ICoreWebView2WebResourceRequest**);
CHECK_SLOT(ICoreWebView2WebResourceRequestedEventArgs, get_Response, 4, ICoreWebView2WebResourceResponse**);
CHECK_SLOT(ICoreWebView2WebResourceRequestedEventArgs, put_Response, 5, ICoreWebView2WebResourceResponse*);
CHECK_SLOT(ICoreWebView2WebResourceRequestedEventArgs, get_ResourceContext, 7, COREWEBVIEW2_WEB_RESOURCE_CONTEXT*);
static_assert(sizeof(ICoreWebView2WebResourceRequestedEventArgsVtbl) == slot_offset(8), "all 8 argument slots");

CHECK_IUNKNOWN(ICoreWebView2WebResourceRequest);
CHECK_SLOT(ICoreWebView2WebResourceRequest, get_Uri, 3, LPWSTR*);
CHECK_SLOT(ICoreWebView2WebResourceRequest, get_Method, 5, LPWSTR*);
static_assert(sizeof(ICoreWebView2WebResourceRequestVtbl) == slot_offset(10), "all 10 request slots");

CHECK_IUNKNOWN(ICoreWebView2WebResourceResponse);
CHECK_SLOT(ICoreWebView2WebResourceResponse, get_Content, 3, IStream**);
CHECK_SLOT(ICoreWebView2WebResourceResponse, get_StatusCode, 6, int*);
static_assert(sizeof(ICoreWebView2WebResourceResponseVtbl) == slot_offset(10), "all 10 response slots");

CHECK_IUNKNOWN(ICoreWebView2Settings);
CHECK_SLOT(ICoreWebView2Settings, put_IsWebMessageEnabled, 6, BOOL);
CHECK_SLOT(ICoreWebView2Settings, put_IsStatusBarEnabled, 10, BOOL);
CHECK_SLOT(ICoreWebView2Settings, put_AreDevToolsEnabled, 12, BOOL);
CHECK_SLOT(ICoreWebView2Settings, put_AreDefaultContextMenusEnabled, 14, BOOL);
CHECK_SLOT(ICoreWebView2Settings, put_IsZoomControlEnabled, 18, BOOL);
CHECK_SLOT(ICoreWebView2Settings, put_IsBuiltInErrorPageEnabled, 20, BOOL);
static_assert(sizeof(ICoreWebView2SettingsVtbl) == slot_offset(21), "all 21 settings slots");

CHECK_IUNKNOWN(ICoreWebView2Settings3);
CHECK_SLOT(ICoreWebView2Settings3, put_AreBrowserAcceleratorKeysEnabled, 24, BOOL);
static_assert(sizeof(ICoreWebView2Settings3Vtbl) == slot_offset(25), "all 25 slots of Settings3");

CHECK_IUNKNOWN(ICoreWebView2Controller4);
CHECK_SLOT(ICoreWebView2Controller4, put_AllowExternalDrop, 37, BOOL);
static_assert(sizeof(ICoreWebView2Controller4Vtbl) == slot_offset(38), "all 38 slots of Controller4");

CHECK_IUNKNOWN(ICoreWebView2NavigationStartingEventArgs);
CHECK_SLOT(ICoreWebView2NavigationStartingEventArgs, get_Uri, 3, LPWSTR*);
CHECK_SLOT(ICoreWebView2NavigationStartingEventArgs, put_Cancel, 8, BOOL);
static_assert(sizeof(ICoreWebView2NavigationStartingEventArgsVtbl) == slot_offset(10), "all 10 argument slots");

CHECK_IUNKNOWN(ICoreWebView2NewWindowRequestedEventArgs);
CHECK_SLOT(ICoreWebView2NewWindowRequestedEventArgs, get_Uri, 3, LPWSTR*);
CHECK_SLOT(ICoreWebView2NewWindowRequestedEventArgs, put_Handled, 6, BOOL);
static_assert(sizeof(ICoreWebView2NewWindowRequestedEventArgsVtbl) == slot_offset(11), "all 11 argument slots");

CHECK_IUNKNOWN(ICoreWebView2WebMessageReceivedEventArgs);
CHECK_SLOT(ICoreWebView2WebMessageReceivedEventArgs, get_Source, 3, LPWSTR*);
CHECK_SLOT(ICoreWebView2WebMessageReceivedEventArgs, get_WebMessageAsJson, 4, LPWSTR*);
CHECK_SLOT(ICoreWebView2WebMessageReceivedEventArgs, TryGetWebMessageAsString, 5, LPWSTR*);
static_assert(sizeof(ICoreWebView2WebMessageReceivedEventArgsVtbl) == slot_offset(6), "all 6 argument slots");

// Scalar and by-value types as the runtime lays them out.
static_assert(sizeof(BOOL) == 4 && sizeof(HRESULT) == 4 && sizeof(wchar_t) == 2);
static_assert(sizeof(COREWEBVIEW2_MOVE_FOCUS_REASON) == 4 && COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC == 0 &&
              COREWEBVIEW2_MOVE_FOCUS_REASON_NEXT == 1 && COREWEBVIEW2_MOVE_FOCUS_REASON_PREVIOUS == 2);
static_assert(sizeof(COREWEBVIEW2_WEB_RESOURCE_CONTEXT) == 4 && COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL == 0 &&
              COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT == 1);
static_assert(sizeof(EventRegistrationToken) == 8 && alignof(EventRegistrationToken) == 8);
static_assert(sizeof(RECT) == 16);

// The loader's entry points: stdcall, HRESULT, and the parameters in the published order.
static_assert(std::is_same_v<CreateCoreWebView2EnvironmentWithOptions_fn,
                             HRESULT(STDAPICALLTYPE*)(PCWSTR, PCWSTR, ICoreWebView2EnvironmentOptions*,
                                                      ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*)>);
static_assert(std::is_same_v<GetAvailableCoreWebView2BrowserVersionString_fn,
                             HRESULT(STDAPICALLTYPE*)(PCWSTR, LPWSTR*)>);

#undef CHECK_IUNKNOWN
#undef CHECK_SLOT

}  // namespace
