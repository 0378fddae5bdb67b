// The install page's commands against the recording page and Wine's registry: every invoke is
// answered once with its id, the install-state object is valid JSON whatever the registry
// holds, the onboarding answers land for the desktop user, and nothing unsafe is opened.
#include "ui/commands/installer_commands.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <regex>
#include <string>

#include "base/reg_view_win.h"
#include "json_check.h"
#include "page_commands.h"
#include "state/onboarding_values.h"

namespace {

using namespace ui_command_test;

const char* const CLIENTS = "SOFTWARE\\Clients\\StartMenuInternet";
const char* const CLIENTS_WOW = "SOFTWARE\\WOW6432Node\\Clients\\StartMenuInternet";

void register_browser(HKEY root, const std::string& clients, const char* entry, const char* command, const char* name) {
  std::string key = clients + "\\" + entry;
  if (name) reg_write_text(root, key.c_str(), REG_VIEW_64, nullptr, name);
  reg_write_text(root, (key + "\\shell\\open\\command").c_str(), REG_VIEW_64, nullptr, command);
}

uint32_t dword(onboarding_key key, const char* name) {
  const onboarding_root* root = onboarding_root_ensure();
  const char* subkey = key == ONBOARDING_KEY_BROWSERS  ? root->browsers_subkey
                       : key == ONBOARDING_KEY_FILTERS ? root->filters_subkey
                                                       : root->subkey;
  uint32_t value = 99;
  return reg_read_dword(HKEY_CURRENT_USER, subkey, REG_VIEW_64, name, &value) == ERROR_SUCCESS ? value : 99;
}

using InstallerCommands = PageCommands;

TEST_F(InstallerCommands, EveryInvokeIsAnsweredOnceAndCloseAnswersFirst) {
  EXPECT_EQ(invoke(page_command("signal_user_action"), R"({"action":"begin"})"), null_answer(1));
  EXPECT_EQ(ui_install_flags.begun, 1);
  EXPECT_EQ(ui_install_flags.exit_stage, 1);
  invoke(page_command("signal_user_action"), R"({"action":"done"})");
  EXPECT_EQ(ui_install_flags.exit_stage, 3);
  invoke(page_command("signal_user_action"), R"({"action":"cancel"})");
  EXPECT_EQ(ui_install_flags.cancelled, 1);
  EXPECT_EQ(invoke("no_such_command"), null_answer(4));
  EXPECT_EQ(invoke(page_command("log_from_js"), R"({"level":"warning","message":"page \"says\" hi"})"), null_answer(5));
  EXPECT_EQ(recording_page::posted.size(), 5u);

  ui_on_message_installer(R"({"type":"response","id":9,"cmd":"exit_sibling"})", nullptr);
  ui_on_message_installer(R"({"type":"invoke","cmd":"show_window","args":{}})", nullptr);
  EXPECT_EQ(recording_page::posted.back(), null_answer(-1)) << "an invoke without id is still answered";
  EXPECT_EQ(recording_page::posted.size(), 6u) << "other messages get no answer";
  EXPECT_TRUE(ui_log.has("[WARN] [InstallerUI] Unknown invoke cmd: no_such_command"));
  EXPECT_TRUE(ui_log.has("[WARN] [InstallerUI] page \"says\" hi"));

  invoke(page_command("enable_close"));
  EXPECT_EQ(host_stand_in::host.close_enabled, 1);
  EXPECT_EQ(host_stand_in::host.confirm_text, "Are you sure you want to exit without launching CorVane?");
  EXPECT_EQ(host_stand_in::host.confirm_caption, "CorVane Setup");
  EXPECT_EQ(invoke(page_command("exit_sibling")), null_answer(7));
  EXPECT_EQ(host_stand_in::host.close_requests, 1);
  EXPECT_EQ(host_stand_in::host.posted_before_close, recording_page::posted.size()) << "answered before the close";
}

TEST_F(InstallerCommands, InstallStateListsRegisteredBrowsersAsValidJson) {
  register_browser(HKEY_LOCAL_MACHINE, CLIENTS, "Google Chrome",
                   R"("C:\Program Files\Google\Chrome\Application\chrome.exe" --single-argument %1)", nullptr);
  register_browser(HKEY_CURRENT_USER, CLIENTS, "Chrome (user)", R"(C:\Users\x\Chrome\CHROME.EXE)", "Chrome again");
  register_browser(HKEY_LOCAL_MACHINE, CLIENTS_WOW, "Firefox-308046B0AF4A39CB",
                   R"("C:\Program Files (x86)\Mozilla Firefox\firefox.exe" -osint -url "%1")", "Fire\"fox\\\x01");
  register_browser(HKEY_LOCAL_MACHINE, CLIENTS, "IEXPLORE.EXE", R"("C:\Program Files\Internet Explorer\iexplore.exe")",
                   "Internet Explorer");
  strcpy(state.utm_campaign, "spring\"\\\n\x02sale\xc3");
  state.analytics_enabled = 1;

  std::string answer = invoke(page_command("get_install_state"));
  for (const char* entry : {"Google Chrome", "Firefox-308046B0AF4A39CB", "IEXPLORE.EXE"}) {
    reg_delete_tree(HKEY_LOCAL_MACHINE, (std::string(CLIENTS) + "\\" + entry).c_str(), REG_VIEW_64);
    reg_delete_tree(HKEY_LOCAL_MACHINE, (std::string(CLIENTS_WOW) + "\\" + entry).c_str(), REG_VIEW_64);
  }
  reg_delete_tree(HKEY_CURRENT_USER, (std::string(CLIENTS) + "\\Chrome (user)").c_str(), REG_VIEW_64);

  ASSERT_TRUE(json_valid(answer)) << answer;
  EXPECT_EQ(answer.rfind("{\"type\":\"response\",\"id\":1,\"result\":{\"user_id\":", 0), 0u) << answer;
  EXPECT_NE(answer.find("\"utm_campaign\":\"spring\\\"\\\\\\u000a\\u0002sale?\""), std::string::npos) << answer;
  EXPECT_NE(answer.find("\"analytics_enabled\":true"), std::string::npos);
  const std::string chrome = R"({"key":"chrome.exe","name":"Chrome","icon":"chrome"})";
  size_t at = answer.find(chrome);
  ASSERT_NE(at, std::string::npos) << answer;
  EXPECT_EQ(answer.find(chrome, at + 1), std::string::npos) << "listed once";
  EXPECT_NE(answer.find(R"({"key":"firefox.exe","name":"Fire fox \u0001","icon":"firefox"})"), std::string::npos)
      << answer;
  EXPECT_EQ(answer.find("iexplore"), std::string::npos);
  EXPECT_TRUE(
      std::regex_search(ui_log.text(), std::regex(R"(\[INFO\] \[InstallerUI\] StartMenuInternet enumeration: )"
                                                  R"([2-9]\d* browser\(s\) discovered \(excluded: iexplore.exe\))")));
}

// The page may ask before the worker has gathered the record (the session data may take seconds):
// the window goes on, and the answer comes once the record is there.
TEST_F(InstallerCommands, InstallStateAskedBeforeTheRecordIsGatheredIsAnsweredOnceItIs) {
  ui_install_settle_on_worker([](install_state* s) { strcpy(s->utm_campaign, "came-late"); });
  EXPECT_EQ(invoke(page_command("get_install_state")), "") << "answered before the record was there";
  ui_install_settle_now(&state);  // as the worker does once the window shows
  ui_install_finish(&state);      // joins the answering thread
  ASSERT_EQ(recording_page::posted.size(), 1u);
  EXPECT_NE(recording_page::posted[0].find("\"utm_campaign\":\"came-late\""), std::string::npos)
      << recording_page::posted[0];
}

TEST_F(InstallerCommands, InstallStateTooLargeForItsAnswerIsAnsweredEmpty) {
  // Control characters escape to six bytes each: these fields alone escape to over 8 KB.
  auto fill = [](auto& field) { memset(field, 1, sizeof field - 1); };
  fill(state.user_id), fill(state.machine_id_sha2), fill(state.utm_source), fill(state.utm_medium);
  fill(state.utm_campaign), fill(state.utm_content), fill(state.utm_term), fill(state.gclid), fill(state.msclkid);
  fill(state.fbclid), fill(state.os_name), fill(state.os_edition), fill(state.os_language), fill(state.os_antivirus);
  fill(state.os_timezone), fill(state.browser_name_default), fill(state.browser_name), fill(state.host_prefix);
  EXPECT_EQ(invoke(page_command("get_install_state")),
            "{\"type\":\"response\",\"id\":1,\"result\":{}}");
  EXPECT_TRUE(
      std::regex_search(ui_log.text(), std::regex(R"(\[WARN\] \[InstallerUI\] install-state JSON too large )"
                                                  R"(for response buffer \(\d+ bytes\); replying without it)")));
}

TEST_F(InstallerCommands, OnboardingAnswersAreWrittenForTheDesktopUser) {
  onboarding_set_dword(ONBOARDING_KEY_BROWSERS, "stale.exe", 1);
  invoke(page_command("save_onboarding_browsers"),
         R"({"disabled":["Opera.exe",""],"enabled":["chrome.exe","MSEDGE.EXE"]})");
  EXPECT_EQ(dword(ONBOARDING_KEY_BROWSERS, "opera.exe"), 0u);
  EXPECT_EQ(dword(ONBOARDING_KEY_BROWSERS, "msedge.exe"), 1u);
  EXPECT_EQ(dword(ONBOARDING_KEY_BROWSERS, "stale.exe"), 99u) << "the page's answer replaces the earlier ones";
  EXPECT_TRUE(
      ui_log.has("[INFO] [InstallerUI] Onboarding: wrote 1 disabled and 2 enabled browser value(s) under "
                 "HKCU\\Software\\CorvaneLabs\\Corvane\\Onboarding\\Browsers"));

  invoke(page_command("save_onboarding_filters"), "{}");
  EXPECT_EQ(dword(ONBOARDING_KEY_FILTERS, "BlockAds") + dword(ONBOARDING_KEY_FILTERS, "BlockSocial"), 2u);
  invoke(page_command("save_onboarding_filters"), R"({"blockAds":true,"blockSocial":false})");
  EXPECT_EQ(dword(ONBOARDING_KEY_FILTERS, "BlockAds"), 0u);
  EXPECT_EQ(dword(ONBOARDING_KEY_FILTERS, "BlockPrivacy"), 1u);
  EXPECT_TRUE(
      ui_log.has("Onboarding: wrote 1 disabled and 2 enabled category value(s) under "
                 "HKCU\\Software\\CorvaneLabs\\Corvane\\Onboarding\\Filters"));

  invoke(page_command("save_onboarding_https"), R"({"filterHttps":true})");
  EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "HttpsFiltering"), 0u);
  EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "SchemaVersion"), 2u);
  char completed[64];
  ASSERT_EQ(reg_read_text(HKEY_CURRENT_USER, onboarding_root_ensure()->subkey, REG_VIEW_64, "CompletedDateTime",
                          completed, sizeof completed),
            ERROR_SUCCESS);
  EXPECT_TRUE(std::regex_match(completed, std::regex(R"(20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)"))) << completed;
  EXPECT_TRUE(ui_log.has(std::string("[INFO] [InstallerUI] ENG-936: wrote onboarding seed v2 completion marker (HKCU "
                                     "Onboarding\\SchemaVersion=2, Onboarding\\CompletedDateTime=") +
                         completed + ")"));
  for (const char* args : {"{}", R"({"granted":"yes"})", R"({"granted":null})"}) {
    invoke(page_command("save_https_decryption_consent"), args);
    EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "HttpsFiltering"), 0u) << args << ": no explicit answer is no consent";
  }
  EXPECT_TRUE(ui_log.has("[WARN] [InstallerUI] HTTPS decryption consent without an explicit \"granted\": nothing "
                         "recorded"));
  invoke(page_command("save_https_decryption_consent"), R"({"granted":true})");
  EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "HttpsFiltering"), 1u);
  invoke(page_command("save_https_decryption_consent"), R"({"granted":false})");
  EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "HttpsFiltering"), 0u);
  onboarding_clear(ONBOARDING_KEY_MAIN);
}

TEST_F(InstallerCommands, DryRunChangesNothing) {
  state.dry_run = 1;
  onboarding_clear(ONBOARDING_KEY_MAIN);
  for (const char* cmd : {page_command("save_onboarding_browsers"), page_command("save_onboarding_https"),
                          page_command("set_launch_on_logon"), page_command("launch_app")})
    invoke(cmd, R"({"enabled":["chrome.exe"]})");
  EXPECT_EQ(dword(ONBOARDING_KEY_BROWSERS, "chrome.exe"), 99u);
  EXPECT_EQ(dword(ONBOARDING_KEY_MAIN, "SchemaVersion"), 99u);
  EXPECT_EQ(ui_install_flags.launch_thread.get(), nullptr);
  EXPECT_TRUE(ui_log.has("DRY RUN: skipping launch-on-logon reg write"));
  EXPECT_TRUE(ui_log.has("DRY RUN: skipping app launch"));
}

TEST_F(InstallerCommands, OpenUrlRefusesAnythingButWebAddresses) {
  EXPECT_EQ(invoke(page_command("open_url"), R"({"url":"file:///C:/windows/system32/notepad.exe"})"), null_answer(1));
  EXPECT_TRUE(
      ui_log.has("[WARN] [InstallerUI] open_url: refused file:///C:/windows/system32/notepad.exe (only an absolute "
                 "http: or https: address of URL characters, at most 2048, is opened)"));
  // A line break in a refused address stays out of the log's line structure.
  invoke(page_command("open_url"), "{\"url\":\"https://a/\n[ERROR] forged\"}");
  EXPECT_TRUE(ui_log.has("open_url: refused https://a/?[ERROR] forged (only")) << ui_log.text();
  EXPECT_EQ(ui_log.text().find("\n[ERROR] forged"), std::string::npos);
  EXPECT_EQ(ui_log.text().find("launched external browser"), std::string::npos);
}

}  // namespace
