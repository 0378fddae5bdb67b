// The program's WebView2 interface identifiers against the runtime's published ones (the slot
// of each method and its signature are checked at compile time in webview2_abi_win.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/webview2_abi.h"

namespace {

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
