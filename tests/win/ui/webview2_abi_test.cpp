// The program's WebView2 declarations against the runtime's published facts: each method the
// host calls or implements is reached through the slot the runtime defines for it (by real
// calls through the tables, beside the compile-time offsets of webview2_abi_win.cpp), and
// each interface identifier is the published one.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "ui/webview2_abi.h"

namespace {

int g_slot_called = -1;

// Stands in every slot of a table and records which one was called. Calling it through the
// tables' typed pointers passes more arguments than it takes: harmless on x86-64, where the
// caller owns the stack, which is the only architecture these tests run on.
template <int Slot>
HRESULT STDMETHODCALLTYPE record_slot(void*) {
  g_slot_called = Slot;
  return S_OK;
}

constexpr int TABLE_SLOTS = 45;  // ICoreWebView2's slots 0-44 is the longest table used
template <int... Slot>
constexpr auto make_recording_table(std::integer_sequence<int, Slot...>) {
  return std::array<HRESULT(STDMETHODCALLTYPE*)(void*), sizeof...(Slot)>{&record_slot<Slot>...};
}
const auto g_recording_table = make_recording_table(std::make_integer_sequence<int, TABLE_SLOTS>{});

// An object of any of the interfaces whose table records the slots called.
template <typename Interface>
Interface* recording_object() {
  static const void* table = g_recording_table.data();
  return reinterpret_cast<Interface*>(&table);
}

template <typename Interface, typename Call>
int slot_of(Call call) {
  g_slot_called = -1;
  call(recording_object<Interface>());
  return g_slot_called;
}

TEST(WebView2Abi, EveryMethodUsedIsCalledThroughItsSlot) {
  using Controller = ICoreWebView2Controller;
  using Settings = ICoreWebView2Settings;
  using Args = ICoreWebView2WebMessageReceivedEventArgs;
  RECT rect = {1, 2, 3, 4};
  LPWSTR text = nullptr;
  EventRegistrationToken token = {7};

  EXPECT_EQ(slot_of<Controller>([&](Controller* c) { c->lpVtbl->QueryInterface(c, IID_IUnknown, nullptr); }), 0);
  EXPECT_EQ(slot_of<Controller>([](Controller* c) { c->lpVtbl->AddRef(c); }), 1);
  EXPECT_EQ(slot_of<Controller>([](Controller* c) { c->lpVtbl->Release(c); }), 2);

  using EnvHandler = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
  using ControllerHandler = ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;
  using MessageHandler = ICoreWebView2WebMessageReceivedEventHandler;
  EXPECT_EQ(slot_of<EnvHandler>([](EnvHandler* h) { h->lpVtbl->Invoke(h, S_OK, nullptr); }), 3);
  EXPECT_EQ(slot_of<ControllerHandler>([](ControllerHandler* h) { h->lpVtbl->Invoke(h, S_OK, nullptr); }), 3);
  EXPECT_EQ(slot_of<MessageHandler>([](MessageHandler* h) { h->lpVtbl->Invoke(h, nullptr, nullptr); }), 3);

  using Environment = ICoreWebView2Environment;
  EXPECT_EQ(slot_of<Environment>([](Environment* e) { e->lpVtbl->CreateCoreWebView2Controller(e, nullptr, nullptr); }),
            3);

  EXPECT_EQ(slot_of<Controller>([](Controller* c) { c->lpVtbl->put_IsVisible(c, TRUE); }), 4);
  EXPECT_EQ(slot_of<Controller>([&](Controller* c) { c->lpVtbl->get_Bounds(c, &rect); }), 5);
  EXPECT_EQ(slot_of<Controller>([&](Controller* c) { c->lpVtbl->put_Bounds(c, rect); }), 6);
  EXPECT_EQ(slot_of<Controller>([](Controller* c) {
              c->lpVtbl->MoveFocus(c, COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
            }),
            12);
  EXPECT_EQ(slot_of<Controller>([](Controller* c) { c->lpVtbl->Close(c); }), 24);
  EXPECT_EQ(slot_of<Controller>([](Controller* c) { c->lpVtbl->get_CoreWebView2(c, nullptr); }), 25);

  EXPECT_EQ(slot_of<ICoreWebView2>([](ICoreWebView2* w) { w->lpVtbl->get_Settings(w, nullptr); }), 3);
  EXPECT_EQ(slot_of<ICoreWebView2>([](ICoreWebView2* w) { w->lpVtbl->Navigate(w, L"file:///x"); }), 5);
  EXPECT_EQ(slot_of<ICoreWebView2>([](ICoreWebView2* w) { w->lpVtbl->PostWebMessageAsJson(w, L"{}"); }), 32);
  EXPECT_EQ(slot_of<ICoreWebView2>([&](ICoreWebView2* w) { w->lpVtbl->add_WebMessageReceived(w, nullptr, &token); }),
            34);
  EXPECT_EQ(slot_of<ICoreWebView2>([&](ICoreWebView2* w) { w->lpVtbl->remove_WebMessageReceived(w, token); }), 35);

  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_IsWebMessageEnabled(s, TRUE); }), 6);
  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_IsStatusBarEnabled(s, FALSE); }), 10);
  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_AreDevToolsEnabled(s, FALSE); }), 12);
  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_AreDefaultContextMenusEnabled(s, FALSE); }), 14);
  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_IsZoomControlEnabled(s, FALSE); }), 18);
  EXPECT_EQ(slot_of<Settings>([](Settings* s) { s->lpVtbl->put_IsBuiltInErrorPageEnabled(s, FALSE); }), 20);

  EXPECT_EQ(slot_of<ICoreWebView2>([&](ICoreWebView2* w) { w->lpVtbl->add_NavigationStarting(w, nullptr, &token); }),
            7);
  EXPECT_EQ(slot_of<ICoreWebView2>([&](ICoreWebView2* w) { w->lpVtbl->add_NewWindowRequested(w, nullptr, &token); }),
            44);
  using Settings3 = ICoreWebView2Settings3;
  using Controller4 = ICoreWebView2Controller4;
  EXPECT_EQ(slot_of<Settings3>([](Settings3* s) { s->lpVtbl->put_AreBrowserAcceleratorKeysEnabled(s, FALSE); }), 24);
  EXPECT_EQ(slot_of<Settings3>([](Settings3* s) { s->lpVtbl->Release(s); }), 2);
  EXPECT_EQ(slot_of<Controller4>([](Controller4* c) { c->lpVtbl->put_AllowExternalDrop(c, FALSE); }), 37);
  EXPECT_EQ(slot_of<Controller4>([](Controller4* c) { c->lpVtbl->Release(c); }), 2);

  using NavigationHandler = ICoreWebView2NavigationStartingEventHandler;
  using NewWindowHandler = ICoreWebView2NewWindowRequestedEventHandler;
  using NavigationArgs = ICoreWebView2NavigationStartingEventArgs;
  using NewWindowArgs = ICoreWebView2NewWindowRequestedEventArgs;
  EXPECT_EQ(slot_of<NavigationHandler>([](NavigationHandler* h) { h->lpVtbl->Invoke(h, nullptr, nullptr); }), 3);
  EXPECT_EQ(slot_of<NewWindowHandler>([](NewWindowHandler* h) { h->lpVtbl->Invoke(h, nullptr, nullptr); }), 3);
  EXPECT_EQ(slot_of<NavigationArgs>([&](NavigationArgs* a) { a->lpVtbl->get_Uri(a, &text); }), 3);
  EXPECT_EQ(slot_of<NavigationArgs>([](NavigationArgs* a) { a->lpVtbl->put_Cancel(a, TRUE); }), 8);
  EXPECT_EQ(slot_of<NewWindowArgs>([&](NewWindowArgs* a) { a->lpVtbl->get_Uri(a, &text); }), 3);
  EXPECT_EQ(slot_of<NewWindowArgs>([](NewWindowArgs* a) { a->lpVtbl->put_Handled(a, TRUE); }), 6);

  EXPECT_EQ(slot_of<Args>([&](Args* a) { a->lpVtbl->get_Source(a, &text); }), 3);
  EXPECT_EQ(slot_of<Args>([&](Args* a) { a->lpVtbl->get_WebMessageAsJson(a, &text); }), 4);
  EXPECT_EQ(slot_of<Args>([&](Args* a) { a->lpVtbl->TryGetWebMessageAsString(a, &text); }), 5);
}

TEST(WebView2Abi, InterfaceIdentifiersAreThePublishedOnes) {
  const struct {
    const IID& iid;
    const wchar_t* published;
  } rows[] = {
      {IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, L"{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}"},
      {IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, L"{6C4819F3-C9B7-4260-8127-C9F5BDE7F68C}"},
      {IID_ICoreWebView2WebMessageReceivedEventHandler, L"{57213F19-00E6-49FA-8E07-898EA01ECBD2}"},
      {IID_ICoreWebView2Environment, L"{B96D755E-0319-4E92-A296-23436F46A1FC}"},
      {IID_ICoreWebView2Controller, L"{4D00C0D1-9434-4EB6-8078-8697A560334F}"},
      {IID_ICoreWebView2, L"{76ECEACB-0462-4D94-AC83-423A6793775E}"},
      {IID_ICoreWebView2Settings, L"{E562E4F0-D7FA-43AC-8D71-C05150499F00}"},
      {IID_ICoreWebView2WebMessageReceivedEventArgs, L"{0F99A40C-E962-4207-9E92-E3D542EFF849}"},
      {IID_ICoreWebView2NavigationStartingEventHandler, L"{9ADBE429-F36D-432B-9DDC-F8881FBD76E3}"},
      {IID_ICoreWebView2NavigationStartingEventArgs, L"{5B495469-E119-438A-9B18-7604F25F2E49}"},
      {IID_ICoreWebView2NewWindowRequestedEventHandler, L"{D4C185FE-C81C-4989-97AF-2D3FA7AB5651}"},
      {IID_ICoreWebView2NewWindowRequestedEventArgs, L"{34ACB11C-FC37-4418-9132-F9C21D1EAFB9}"},
      {IID_ICoreWebView2Settings3, L"{FDB5AB74-AF33-4854-84F0-0A631DEB5EBA}"},
      {IID_ICoreWebView2Controller4, L"{97D418D5-A426-4E49-A151-E1A10F327D9E}"},
  };
  for (const auto& row : rows) {
    wchar_t text[40] = {};
    ASSERT_GT(StringFromGUID2(row.iid, text, 40), 0);
    EXPECT_STREQ(text, row.published);
  }
}

}  // namespace
