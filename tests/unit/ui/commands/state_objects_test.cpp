#include "ui/commands/state_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "json_check.h"

TEST(StateObjects, InstallObjectTailAndUninstallFirst) {
  install_state s = {};
  s.dry_run = 1;
  s.uninstall_first = 1;  // asked for, but nothing found to remove
  char out[UI_STATE_OBJECT_SIZE];
  ASSERT_EQ(ui_install_state_object(&s, "[]", out, sizeof out), 0);
  EXPECT_EQ(strncmp(out, "{\"user_id\":\"\",\"machine_id_sha2\":\"\",", 35), 0) << out;
  EXPECT_NE(strstr(out,
                   ",\"host_domain\":\"\",\"dry_run\":true,\"analytics_enabled\":false,\"uninstall_first\":false,"
                   "\"browsers\":[]}"),
            nullptr)
      << out;
  s.existing.has_msi = 1;
  ui_install_state_object(&s, "[]", out, sizeof out);
  EXPECT_NE(strstr(out, "\"uninstall_first\":true"), nullptr);
}

TEST(StateObjects, HostileTextStaysValidJsonAndFullRecordsFit) {
  install_state s = {};
  std::string hostile;  // quotes, backslashes, controls, invalid UTF-8 in every long field
  while (hostile.size() < 255) hostile += "\"\\\n\x01\xc3";
  hostile.resize(255);
  for (char* field : {s.user_id, s.utm_source, s.utm_term, s.os_antivirus, s.os_timezone, s.browser_name_default})
    strcpy(field, hostile.c_str());
  strcpy(s.product_version, "2.1\"\\");
  char out[UI_STATE_OBJECT_SIZE];
  ASSERT_EQ(ui_install_state_object(&s, "[{\"key\":\"a.exe\",\"name\":\"A\",\"icon\":\"a\"}]", out, sizeof out), 0);
  EXPECT_TRUE(json_valid(out));
  ASSERT_EQ(ui_uninstall_state_object(&s, out, sizeof out), 0);
  flat_json m = parse_flat_json(out);
  ASSERT_TRUE(m.valid) << out;
  EXPECT_EQ(m.values["user_id"].substr(0, 5), "\"\\\n\x01?");
  EXPECT_EQ(m.values["client_version"], "2.1\"\\");
  EXPECT_EQ(m.keys.size(), 23u);
  EXPECT_EQ(m.keys.back(), "dry_run");
  char small[300];
  EXPECT_EQ(ui_uninstall_state_object(&s, small, sizeof small), -1);
}
