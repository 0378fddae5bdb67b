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

constexpr int TABLE_SLOTS = 36;  // ICoreWebView2's slots 0-35 is the longest table used
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
  };
  for (const auto& row : rows) {
    wchar_t text[40] = {};
    ASSERT_GT(StringFromGUID2(row.iid, text, 40), 0);
    EXPECT_STREQ(text, row.published);
  }
}

}  // namespace
