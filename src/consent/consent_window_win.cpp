// The native consent window: the fallback when the WebView2 screen cannot be shown. Install
// elevates with fixed choices (HTTPS filtering consented, usage data as recorded, removal of an
// existing installation unless the tag says no).
#include <cstring>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "consent/consent.h"
#include "consent/consent_info.h"
#include "consent/consent_texts.h"
#include "consent/consent_window_layout.h"
#include "consent/elevation_win.h"
#include "consent/handoff_win.h"
#include "consent/relaunch_arguments.h"
#include "state/attribution.h"
#include "state/onboarding_values.h"
#include "state/paths.h"
#include "state/tag_block.h"
#include "telemetry/tracking.h"
#include "ui/host_window_win.h"
#include "uninstall/existing_install.h"
#include "uninstall/temp_uninstaller.h"

namespace {

constexpr int ID_INSTALL = 2001, ID_CANCEL = 2002, ID_TERMS = 2003, ID_TITLE = 2004;
constexpr COLORREF TEXT_COLOUR = 0x1E1E1E, TERMS_COLOUR = 0x808080;
constexpr size_t CLICK_EXTRAS_SIZE = 192;

struct native_consent_state {
  int decided;
  consent_result result;
  DWORD last_error;
  int is_uninstall;
  int clicking;  // the Install click is under way: the window stays until it has an outcome
  consent_choices choices;
  char elevation_args[RELAUNCH_ARGUMENTS_SIZE];
  HFONT fonts[CONSENT_FONT_COUNT];
  install_state* state;
};
native_consent_state g_native;

void set_buttons(HWND window, BOOL enabled) {
  EnableWindow(GetDlgItem(window, ID_INSTALL), enabled);
  EnableWindow(GetDlgItem(window, ID_CANCEL), enabled);
}

void send_click(int elevated) {
  if (!g_native.state) return;
  consent_click_choices click = {1, g_native.choices.uninstall_existing, g_native.is_uninstall, elevated,
                                 g_native.choices.usage_data};
  char extras[CLICK_EXTRAS_SIZE];
  consent_click_extras(click, 1, extras, sizeof extras);
  tracking_send_click(g_native.state, g_native.is_uninstall ? EVENT_UNINSTALLER_CLICK : EVENT_INSTALLER_CLICK, extras);
}

void on_install(HWND window) {
  int elevated = token_is_admin();
  log_info("consent_window: user clicked Install (already_elevated=%d)", elevated);
  send_click(elevated);
  if (!g_native.is_uninstall && g_native.state) record_send_usage_data(g_native.state->analytics_enabled);
  set_buttons(window, FALSE);
  g_native.clicking = 1;
  consent_handoff target = consent_handoff_for(g_native.is_uninstall, elevated, running_from_install_dir(), 0);
  handoff_outcome outcome = elevated_handoff({"consent_window", target, g_native.elevation_args, window, nullptr, nullptr});
  g_native.clicking = 0;
  if (outcome.error == ERROR_CANCELLED) {
    log_info("consent_window: user declined UAC prompt");
    const consent_texts& texts = consent_texts_for(g_native.is_uninstall);
    ui_host_message_box(window, texts.declined, texts.caption, MB_ICONINFORMATION);
    set_buttons(window, TRUE);
    return;
  }
  if (outcome.error != ERROR_SUCCESS) {
    log_error("consent_window: elevation failed with error %lu", outcome.error);
    g_native.last_error = outcome.error;
  } else {
    if (outcome.wait.outcome != elevated_ui_outcome::ready)
      report_handoff_failure(g_native.state, g_native.is_uninstall, outcome.wait, 1);
    g_native.decided = 1;
    g_native.result = consent_result_for(outcome.wait.outcome);
  }
  DestroyWindow(window);
}

LRESULT CALLBACK consent_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == ID_TERMS ? TERMS_COLOUR : TEXT_COLOUR);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == ID_INSTALL && !g_native.clicking) on_install(window);
      if (LOWORD(wparam) == ID_CANCEL && !g_native.clicking) DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      if (!g_native.clicking) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HFONT make_font(consent_font_role role, int32_t dpi) {
  consent_font font = consent_window_font(role);
  return CreateFontW(-ui_dpi_scale(font.size, dpi), 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FF_SWISS, L"Segoe UI");
}

void add_control(HWND window, const wchar_t* kind, const char* text, DWORD style, int id, const ui_window_rect& r,
                 HFONT font) {
  wchar_t wide[256];
  if (utf8_to_wide(text, wide, 256) != 0) wide[0] = L'\0';
  HWND control = CreateWindowExW(0, kind, wide, WS_CHILD | WS_VISIBLE | style, r.x, r.y, r.width, r.height, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HWND create_window(int32_t dpi, const consent_texts& texts) {
  return ui_create_top_window(L"CorvaneConsentWindow", consent_window_proc,
                              static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), texts.caption, CONSENT_WINDOW_WIDTH,
                              CONSENT_WINDOW_HEIGHT, dpi);
}

void add_controls(HWND window, int32_t dpi, const consent_texts& texts) {
  for (int role = 0; role < CONSENT_FONT_COUNT; ++role)
    g_native.fonts[role] = make_font(static_cast<consent_font_role>(role), dpi);
  RECT client;
  GetClientRect(window, &client);
  consent_window_controls c = consent_window_layout(client.right, client.bottom, dpi);
  add_control(window, L"STATIC", texts.heading, SS_CENTER, ID_TITLE, c.title, g_native.fonts[CONSENT_FONT_TITLE]);
  add_control(window, L"STATIC", texts.tagline, SS_CENTER, -1, c.tagline, g_native.fonts[CONSENT_FONT_TEXT]);
  add_control(window, L"BUTTON", texts.button, BS_FLAT, ID_INSTALL, c.install, g_native.fonts[CONSENT_FONT_BUTTON]);
  add_control(window, L"BUTTON", "Cancel", BS_FLAT, ID_CANCEL, c.cancel, g_native.fonts[CONSENT_FONT_TEXT]);
  if (texts.terms[0])
    add_control(window, L"STATIC", texts.terms, SS_CENTER, ID_TERMS, c.terms, g_native.fonts[CONSENT_FONT_TERMS]);
}

// The screen's DPI: at least 96, asked of the screen when the system reports less.
int32_t window_dpi() {
  int32_t dpi = ui_system_dpi();
  return consent_window_dpi(dpi);
}

void prepare(install_state* state, int dry_run) {
  g_native = native_consent_state{};
  g_native.state = state;
  g_native.is_uninstall = running_as_uninstaller();
  existing_install_probe probe;
  int found = probe_existing_install(&probe);
  int tag_preference = found ? tag_uninstall_first() : -1;
  if (found)
    log_info("consent_window (native fallback): existing install detected (has_c=%d has_msi=%d tag_pref=%d enabled=%d)",
             probe.has_c, probe.has_msi, tag_preference, tag_preference != 0);
  // HTTPS filtering is what this window consents to; the rest is the run's own and the tag's.
  consent_choices& choices = g_native.choices;
  choices.dry_run = dry_run;
  choices.uninstall_existing = found && tag_preference != 0;
  choices.decrypt_https = 1;
  choices.usage_data = state ? state->analytics_enabled : 1;
  relaunch_arguments(choices, found, g_native.elevation_args, sizeof g_native.elevation_args);
}

}  // namespace

consent_result consent_window(install_state* state, int dry_run) {
  prepare(state, dry_run);
  const consent_texts& texts = consent_texts_for(g_native.is_uninstall);
  int32_t dpi = window_dpi();
  HWND window = create_window(dpi, texts);
  if (!window) {
    log_error("Failed to create consent window (err=%lu)", GetLastError());
    temp_uninstaller_release();
    return consent_result::failed;
  }
  add_controls(window, dpi, texts);
  if (state) {
    commit_attribution_to_registry(state);
    tracking_send_page(state, g_native.is_uninstall ? EVENT_UNINSTALLER_PAGE : EVENT_INSTALLER_PAGE, "welcome");
  }
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  for (HFONT& font : g_native.fonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
  temp_uninstaller_release();
  return g_native.decided ? g_native.result : consent_result::failed;
}
