// The event body: escaping, the base members in order, the extras and the size limit.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "telemetry/event_body.h"
#include "telemetry/event_extras.h"
#include "telemetry/json_escape.h"
#include "json_check.h"

namespace {

const char* const k_base_keys[] = {
    "event", "event_id", "event_time", "schema_version", "message", "user_id", "user_date", "machine_id",
    "machine_id_sha2", "machine_date", "install_date", "installer_version", "utm_campaign", "utm_content",
    "utm_medium", "utm_source", "utm_term", "gclid", "fbclid", "msclkid", "os_name", "os_edition", "os_version",
    "os_build", "os_architecture", "os_language", "os_language_code", "os_display_scale", "os_antivirus",
    "os_memory_mb", "os_install_date", "os_timezone", "browser_name_default", "browser_name", "browser_version",
    "is_elevated", "is_admin", "is_internal", "free_disk_mb", "install_duration_sec", "source"};

std::string escape(const char* in, size_t size = 256) {
  char out[512];
  json_escape(out, size, in);
  return out;
}

std::string build(const install_state* state, const char* name, const char* message = "m",
                  const tracking_error* error = nullptr, const char* extra = nullptr, uint32_t duration = 0) {
  static char body[EVENT_BODY_SIZE];
  event_fields f{name, message, "0197a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b", "2026-03-04T05:06:07.089Z", duration, error,
                 extra};
  event_body_build(state, &f, body, sizeof body);
  return body;
}

install_state sample_state() {
  install_state s{};
  strcpy(s.user_id, "u-1");
  strcpy(s.user_date, "20260301");
  strcpy(s.os_name, "Windows 11 Pro");
  s.is_elevated = 1;
  strcpy(s.free_disk_mb, "1024");
  s.analytics_enabled = 1;
  return s;
}

}  // namespace

TEST(JsonEscape, QuotesControlsAndInvalidUtf8) {
  EXPECT_EQ(escape("a\"b\\c"), "a\\\"b\\\\c");
  EXPECT_EQ(escape("line\r\nend\t\x01"), "line\\u000d\\u000aend\\u0009\\u0001");
  EXPECT_EQ(escape("caf\xc3\xa9 \xe2\x82\xac"), "caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(escape("bad\xff\xc3(\xed\xa0\x80"), "bad?" "?(" "???");  // stray, cut and surrogate bytes
  EXPECT_EQ(escape(nullptr), "");
}

TEST(JsonEscape, NeverSplitsAnEscapeOrACharacter) {
  EXPECT_EQ(escape("ab\"", 4), "ab");        // the escaped quote needs two characters
  EXPECT_EQ(escape("a\x01", 6), "a");        // \u0001 needs six
  EXPECT_EQ(escape("a\xe2\x82\xac", 3), "a");  // the euro sign needs three bytes
  EXPECT_EQ(escape("abc", 1), "");
  char untouched[2] = {'x', 'y'};
  EXPECT_EQ(json_escape(untouched, 0, "abc"), 0u);
  EXPECT_EQ(untouched[0], 'x');
}

TEST(EventBody, BaseMembersInOrderWithValues) {
  install_state s = sample_state();
  flat_json j = parse_flat_json(build(&s, "corvane.installer.run", "Installer launched", nullptr, nullptr, 42));
  ASSERT_TRUE(j.valid);
  ASSERT_EQ(j.keys.size(), 41u);
  for (size_t i = 0; i < 41; ++i) EXPECT_EQ(j.keys[i], k_base_keys[i]) << i;
  EXPECT_EQ(j.values["event"], "corvane.installer.run");
  EXPECT_EQ(j.values["schema_version"], "2");
  EXPECT_EQ(j.values["installer_version"], "2.0.266.0");
  EXPECT_EQ(j.values["install_duration_sec"], "42");
  EXPECT_EQ(j.values["source"], "installer");
  EXPECT_EQ(j.values["os_name"], "Windows 11 Pro");
  EXPECT_EQ(j.values["is_elevated"], "true");
  EXPECT_EQ(build(nullptr, nullptr).find("\"event\":\"\""), 1u);  // no state, no name: still an object
  EXPECT_TRUE(parse_flat_json(build(nullptr, nullptr)).valid);
}

TEST(EventBody, OutsideValuesAreEscapedEverywhere) {
  install_state s = sample_state();
  strcpy(s.utm_source, "a\"b\\c\nd");
  strcpy(s.user_date, "2026\"}");  // a value the table inserts verbatim would break the object
  strcpy(s.os_timezone, "\x1f\xff");
  flat_json j = parse_flat_json(build(&s, "corvane.installer.run", "say \"hi\""));
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.values["utm_source"], "a\"b\\c\nd");
  EXPECT_EQ(j.values["user_date"], "2026\"}");
  EXPECT_EQ(j.values["os_timezone"], "\x1f?");
  EXPECT_EQ(j.values["message"], "say \"hi\"");
}

TEST(EventBody, StartAndUninstallerExtras) {
  install_state s = sample_state();
  flat_json start = parse_flat_json(build(&s, "corvane.installer.start"));
  ASSERT_TRUE(start.valid);
  EXPECT_EQ(start.keys.size(), 43u);
  EXPECT_EQ(start.values.count("client_version_existing"), 0u);
  EXPECT_EQ(start.values["is_send_usage_data_enabled"], "true");
  EXPECT_EQ(start.values["is_https_filtering_enabled"], "false");
  strcpy(s.product_version, "1.2.3");
  start = parse_flat_json(build(&s, "corvane.installer.start"));
  EXPECT_EQ(start.keys[41], "client_version_existing");
  EXPECT_EQ(start.values["client_version_existing"], "1.2.3");

  flat_json un = parse_flat_json(build(&s, "corvane.uninstaller.finish"));
  EXPECT_EQ(un.values["is_uninstall_before_install"], "false");
  s.is_uninstall_before_install = 1;
  un = parse_flat_json(build(&s, "corvane.uninstaller.run"));
  EXPECT_EQ(un.values["is_uninstall_before_install"], "true");
  EXPECT_EQ(parse_flat_json(build(&s, "corvane.installer.run")).keys.size(), 41u);
}

TEST(EventBody, ErrorRecordAndCallerFragment) {
  install_state s = sample_state();
  tracking_error e{nullptr, -1, -1};
  flat_json j = parse_flat_json(build(&s, "corvane.installer.fail", "x", &e, ",\"page_name\":\"install\""));
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.values["error_category"], "");
  EXPECT_EQ(j.values["msi_exit_code"], "-1");
  EXPECT_EQ(j.values["msi_file_size_kb"], "-1");
  EXPECT_EQ(j.keys.back(), "page_name");
  tracking_error big{"msi_exec_failed", 1603, 123456789012LL};
  j = parse_flat_json(build(&s, "corvane.installer.fail", "x", &big));
  EXPECT_EQ(j.values["msi_exit_code"], "1603");
  EXPECT_EQ(j.values["msi_file_size_kb"], "123456789012");
}

TEST(EventBody, FullRecordFitsAndSmallBuffersStayValid) {
  install_state s{};
  // Every text field full of quotes: each doubles when escaped, the worst case of the record.
  char* base = reinterpret_cast<char*>(&s);
  memset(base, '"', offsetof(install_state, progress_fn));
  for (size_t off = 0; off < offsetof(install_state, progress_fn); ++off)
    if (off + 1 == offsetof(install_state, progress_fn) || base[off + 1] != '"') base[off] = '\0';
  s.server_timestamp = 0;
  strcpy(s.app_version, "x");
  std::string quotes(300, '"');
  static char body[EVENT_BODY_SIZE + 16];
  memset(body, 'Z', sizeof body);
  event_fields f{"corvane.installer.start", quotes.c_str(), "id", "t", 0, nullptr, nullptr};
  EXPECT_EQ(event_body_build(&s, &f, body, EVENT_BODY_SIZE), event_body_outcome::whole);
  EXPECT_EQ(body[EVENT_BODY_SIZE], 'Z');
  flat_json j = parse_flat_json(body);
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.keys.size(), 43u);

  for (size_t size : {3u, 40u, 700u, 3000u}) {
    memset(body, 'Z', sizeof body);
    EXPECT_EQ(event_body_build(&s, &f, body, size), event_body_outcome::shortened) << size;
    EXPECT_EQ(body[size], 'Z') << size;
    EXPECT_TRUE(parse_flat_json(body).valid) << size << ": " << body;
  }
  memset(body, 'Z', sizeof body);
  event_body_build(&s, &f, body, 2);
  EXPECT_STREQ(body, "");
}

TEST(EventBody, ExtrasThatDoNotFitAreDroppedWhole) {
  install_state plain = sample_state();
  static char body[EVENT_BODY_SIZE];
  std::string huge = ",\"blob\":\"" + std::string(6000, 'b') + "\"";
  event_fields g{"corvane.installer.start", "m", "id", "t", 0, nullptr, huge.c_str()};
  EXPECT_EQ(event_body_build(&plain, &g, body, EVENT_BODY_SIZE), event_body_outcome::extras_dropped);
  flat_json j = parse_flat_json(body);
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.values.count("blob"), 0u);
  EXPECT_EQ(j.values["is_https_filtering_enabled"], "false");  // the extras that fit stay
}

TEST(EventExtras, PageClickAndCloseMembers) {
  char out[EVENT_EXTRA_SIZE];
  event_extra_close("launch_accepted", "finish", "id-1", "", out, sizeof out);
  EXPECT_STREQ(out, ",\"launch_outcome\":\"launch_accepted\",\"exit_stage\":\"finish\",\"install_event_id\":\"id-1\"");
  event_extra_close(nullptr, nullptr, nullptr, "timeout", out, sizeof out);
  EXPECT_STREQ(out, ",\"launch_outcome\":\"\",\"exit_stage\":\"\",\"launch_error_family\":\"timeout\"");
  event_extra_click(",\"decrypt_https\":true", out, sizeof out);
  EXPECT_STREQ(out, ",\"click_element\":\"welcome_install\",\"page_name\":\"welcome\",\"decrypt_https\":true");
  std::string long_fragment = "," + std::string(600, 'x');
  event_extra_click(long_fragment.c_str(), out, sizeof out);
  EXPECT_STREQ(out, ",\"click_element\":\"welcome_install\",\"page_name\":\"welcome\"");
  event_extra_page("fin\"ish", out, sizeof out);
  EXPECT_STREQ(out, ",\"page_name\":\"fin\\\"ish\"");
}

TEST(EventExtras, ErrorDetailsForBothPrograms) {
  char out[256];
  install_state s{};
  tracking_error e{nullptr, 1603, -1};
  event_error_details("corvane.installer.fail", &e, &s, out, sizeof out);
  EXPECT_STREQ(out, "error_category=unknown msi_exit_code=1603 is_elevated=false is_admin=false "
                    "msi_file_size_kb=-1 free_disk_mb=-1");
  s.is_admin = 1;
  tracking_error u{"uninstall_failed", 0, 0};
  event_error_details("corvane.uninstaller.fail", &u, &s, out, sizeof out);
  EXPECT_STREQ(out, "error_category=uninstall_failed is_elevated=false is_admin=true free_disk_mb=-1");
}
