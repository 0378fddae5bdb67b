#include "ui/webview_handlers.h"

#include "base/handle_win.h"

namespace {

// One handler: the interface (its table pointer first), the count, and the host's function.
template <typename Interface, typename Vtbl, const IID& Iid, typename... Args>
struct handler_object {
  Interface iface;
  volatile LONG refs;
  HRESULT (*invoke)(Args...);

  static handler_object* of(Interface* self) { return reinterpret_cast<handler_object*>(self); }

  static HRESULT STDMETHODCALLTYPE query_interface(Interface* self, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, Iid)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    add_ref(self);
    *object = self;
    return S_OK;
  }
  static ULONG STDMETHODCALLTYPE add_ref(Interface* self) {
    return static_cast<ULONG>(InterlockedIncrement(&of(self)->refs));
  }
  static ULONG STDMETHODCALLTYPE release(Interface* self) {
    LONG left = InterlockedDecrement(&of(self)->refs);
    if (left == 0) heap_free(of(self));  // the last reference owns the object
    return static_cast<ULONG>(left);
  }
  static HRESULT STDMETHODCALLTYPE call(Interface* self, Args... args) { return of(self)->invoke(args...); }

  static constexpr Vtbl table = {query_interface, add_ref, release, call};

  static Interface* create(HRESULT (*invoke)(Args...)) {
    handler_object* object = heap_allocate<handler_object>(1, HEAP_ZERO_MEMORY).release();
    if (!object) return nullptr;
    object->iface.lpVtbl = &table;
    object->refs = 1;
    object->invoke = invoke;
    return &object->iface;
  }
};

using environment_handler =
    handler_object<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                   ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandlerVtbl,
                   IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, HRESULT, ICoreWebView2Environment*>;
using controller_handler =
    handler_object<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                   ICoreWebView2CreateCoreWebView2ControllerCompletedHandlerVtbl,
                   IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT, ICoreWebView2Controller*>;
using message_handler =
    handler_object<ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2WebMessageReceivedEventHandlerVtbl,
                   IID_ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2*,
                   ICoreWebView2WebMessageReceivedEventArgs*>;
using navigation_handler =
    handler_object<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2NavigationStartingEventHandlerVtbl,
                   IID_ICoreWebView2NavigationStartingEventHandler, ICoreWebView2*,
                   ICoreWebView2NavigationStartingEventArgs*>;
using new_window_handler =
    handler_object<ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2NewWindowRequestedEventHandlerVtbl,
                   IID_ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2*,
                   ICoreWebView2NewWindowRequestedEventArgs*>;
using resource_handler = handler_object<ICoreWebView2WebResourceRequestedEventHandler,
                                        ICoreWebView2WebResourceRequestedEventHandlerVtbl,
                                        IID_ICoreWebView2WebResourceRequestedEventHandler, ICoreWebView2*,
                                        ICoreWebView2WebResourceRequestedEventArgs*>;

}  // namespace

ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* new_environment_completed_handler(
    environment_completed_fn invoke) {
  return environment_handler::create(invoke);
}

ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* new_controller_completed_handler(
    controller_completed_fn invoke) {
  return controller_handler::create(invoke);
}

ICoreWebView2WebMessageReceivedEventHandler* new_web_message_received_handler(web_message_received_fn invoke) {
  return message_handler::create(invoke);
}

ICoreWebView2NavigationStartingEventHandler* new_navigation_starting_handler(navigation_starting_fn invoke) {
  return navigation_handler::create(invoke);
}

ICoreWebView2NewWindowRequestedEventHandler* new_window_requested_handler(new_window_requested_fn invoke) {
  return new_window_handler::create(invoke);
}

ICoreWebView2WebResourceRequestedEventHandler* new_web_resource_requested_handler(web_resource_requested_fn invoke) {
  return resource_handler::create(invoke);
}
