#include "ui/commands/browser_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "json_check.h"

TEST(BrowserRules, KeyFromOpenCommand) {
  struct row {
    const char* command;
    const char* key;
  } rows[] = {
      {R"("C:\Program Files\Google\Chrome\Application\chrome.exe" --single-argument %1)", "chrome.exe"},
      {R"(C:\Program Files\Mozilla Firefox\FIREFOX.EXE -osint -url "%1")", "firefox.exe"},
      {"/opt/zen/zen", "zen"},
      {"opera", "opera"},
      {R"("C:\x\Brave.exe.old")", "brave.exe"},
      {R"("C:\x\a.exe" --profile "C:\p")",
       "p"},  // the last backslash wins, as registered commands rarely have one after
      {"", ""},
  };
  for (const row& r : rows) {
    char key[BROWSER_KEY_SIZE];
    browser_key_from_command(r.command, key, sizeof key);
    EXPECT_STREQ(key, r.key) << r.command;
  }
  char key[BROWSER_KEY_SIZE];
  browser_key_from_command(("C:\\" + std::string(100, 'a') + ".exe").c_str(), key, sizeof key);
  EXPECT_EQ(std::string(key), std::string(63, 'a'));
}

TEST(BrowserRules, ArrayIsValidJsonAndStaysBelowItsLimit) {
  browser_list list = {};
  browser_list_add(&list, R"(C:\Fx\firefox.exe)",
                   "Fire\x01"
                   "fox\xff");
  char out[BROWSERS_JSON_SIZE];
  EXPECT_EQ(browsers_json(&list, out, sizeof out), 1);
  EXPECT_STREQ(out, "[{\"key\":\"firefox.exe\",\"name\":\"Fire\\u0001fox?\",\"icon\":\"firefox\"}]");
  for (int i = 0; i < 40; ++i)  // elements of about 850 bytes: only a few fit
    browser_list_add(&list, ("C:\\" + std::string(40, 'k') + std::to_string(i) + ".exe").c_str(),
                     std::string(120, '\x02').c_str());
  EXPECT_EQ(list.count, BROWSERS_MAX);
  int appended = browsers_json(&list, out, sizeof out);
  EXPECT_GT(appended, 1);
  EXPECT_LT(appended, BROWSERS_MAX);
  EXPECT_LT(strlen(out), 4095u);
  EXPECT_TRUE(json_valid(out)) << out;
}
