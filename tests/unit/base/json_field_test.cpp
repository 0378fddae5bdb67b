#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/json_field.h"

TEST(JsonStringField, FlatLookup) {
  char out[16];
  EXPECT_EQ(json_string_field("{\"a\" : \"x\", \"host_prefix\":\"dev-\"}", "host_prefix", out, sizeof out), 0);
  EXPECT_STREQ(out, "dev-");
  EXPECT_EQ(json_string_field("{\"k\":\t:: \"v\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "v");
  EXPECT_EQ(json_string_field("{\"k\":\"0123456789abcdefXYZ\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "0123456789abcde");  // cut to size-1
  EXPECT_EQ(json_string_field("{\"k\":\"a\\\"b\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "a\\");  // no escapes understood
}

TEST(JsonStringField, MissingOrMalformed) {
  char out[16] = "stale";
  EXPECT_EQ(json_string_field("{\"k\":5}", "k", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(json_string_field("{\"kk\":\"v\"}", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field("{\"k\":\"unterminated", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field(nullptr, "k", out, sizeof out), -1);
  // Only the first occurrence counts, even when a later one is well formed.
  EXPECT_EQ(json_string_field("{\"k\":1,\"k\":\"v\"}", "k", out, sizeof out), -1);
}

// The readers of the page's messages, on the shapes bridge.js sends.
TEST(PageMessageReaders, InvokeEnvelopeAndEscapedArguments) {
  const char* m = R"({"type":"invoke","id":7,"cmd":"log_from_js","args":{"level":"warn","message":"a \"b\" c"}})";
  char text[64];
  EXPECT_EQ(json_get_id(m), 7);
  EXPECT_EQ(json_get_string(m, "cmd", text, sizeof text), 1);
  EXPECT_STREQ(text, "log_from_js");
  json_get_string(m, "level", text, sizeof text);
  EXPECT_STREQ(text, "warn");
  json_get_string(m, "message", text, sizeof text);
  EXPECT_STREQ(text, "a \"b\" c");
  json_get_string(R"({"m":"x\\y\n\u0041"})", "m", text, sizeof text);
  EXPECT_STREQ(text, "x\\ynu0041");  // the escape's backslash dropped, \u not decoded
  char small[6];
  json_get_string(R"({"m":"0123456789"})", "m", small, sizeof small);
  EXPECT_STREQ(small, "01234");  // cut at size-1, no error
  EXPECT_EQ(json_get_string(R"({"m":5})", "m", text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(json_get_string(R"({"m":"open)", "m", text, sizeof text), 1);
  EXPECT_STREQ(text, "open");  // ends with the text
}

TEST(PageMessageReaders, Ids) {
  EXPECT_EQ(json_get_id(R"({"type":"invoke","cmd":"x"})"), -1);
  EXPECT_EQ(json_get_id(R"({"id": -3})"), -3);
  EXPECT_EQ(json_get_id(R"({"id":"7"})"), 0);
  EXPECT_EQ(json_get_id(R"({"id":99999999999999999999})"), INT32_MAX);
  EXPECT_EQ(json_get_id(R"({"args":{"id":9},"id":1})"), 9) << "first occurrence wins, nesting unknown";
}

TEST(PageMessageReaders, BooleansAndTristates) {
  EXPECT_EQ(json_get_bool("{\"enabled\": \t True}", "enabled"), 1);
  EXPECT_EQ(json_get_bool(R"({"enabled":"true"})", "enabled"), 0);
  EXPECT_EQ(json_get_bool(R"({"enabled":false})", "enabled"), 0);
  EXPECT_EQ(json_get_bool(R"({})", "enabled"), 0);
  EXPECT_EQ(json_get_tristate(R"({})", "x"), -1);
  EXPECT_EQ(json_get_tristate(R"({"x":false})", "x"), 0);
  EXPECT_EQ(json_get_tristate(R"({"x" : true})", "x"), 1);
  EXPECT_EQ(json_get_tristate(R"({"x":True})", "x"), -1);
}

namespace {
std::vector<std::string> elements(const char* json, const char* key) {
  std::vector<std::string> out;
  char item[JSON_ARRAY_ITEM_SIZE];
  for (const char* at = json_next_array_string(json, key, nullptr, item, sizeof item); at;
       at = json_next_array_string(json, key, at, item, sizeof item))
    out.push_back(item);
  return out;
}
}  // namespace

TEST(PageMessageReaders, ArrayElements) {
  using list = std::vector<std::string>;
  EXPECT_EQ(elements(R"({"disabled":[]})", "disabled"), list{});
  EXPECT_EQ(elements(R"({"disabled":["a",,"b"]})", "disabled"), (list{"a", "b"}));
  EXPECT_EQ(elements("{\"d\" : [ \"a\\\"x\",\r\n\t\"b\" ],\"e\":[\"c\"]}", "d"), (list{"a\"x", "b"}));
  EXPECT_EQ(elements(R"({"d":["a",1,"b"]})", "d"), list{"a"}) << "a non-string ends the array";
  EXPECT_EQ(elements(R"({"d":"a"})", "d"), list{});
  EXPECT_EQ(elements(R"({"d":["a)", "d"), list{"a"});
  // A cut element is read to its end: its tail is not a further element.
  std::string long_item(70, 'x');
  std::string json = "{\"d\":[\"" + long_item + ",\",\"b\"]}";
  EXPECT_EQ(elements(json.c_str(), "d"), (list{std::string(63, 'x'), "b"}));
}
