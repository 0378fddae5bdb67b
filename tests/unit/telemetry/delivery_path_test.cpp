#include <string>

#include <gtest/gtest.h>

#include "json_check.h"
#include "telemetry/delivery_path.h"

TEST(DeliveryPaths, OrderLabelsAndUrls) {
  delivery_path p[DELIVERY_PATH_COUNT];
  delivery_paths_build("corvane.org", p);
  const char* labels[] = {"https_org", "https_com", "https_net", "http_org", "http_com", "http_net"};
  for (int i = 0; i < DELIVERY_PATH_COUNT; ++i) EXPECT_STREQ(p[i].label, labels[i]);
  char url[256];
  stats_url(&p[0], "dev-", "corvane.installer.run", url, sizeof url);
  EXPECT_STREQ(url, "https://dev-stats.corvane.org/?event=corvane.installer.run");
  stats_url(&p[4], nullptr, "corvane.installer.run", url, sizeof url);
  EXPECT_STREQ(url, "http://stats.corvane.com/?event=corvane.installer.run");
  delivery_paths_build(nullptr, p);
  EXPECT_STREQ(p[1].label, "https_net");
  EXPECT_STREQ(delivery_path_label("ftp", "x.net.org"), "http_net");
  EXPECT_STREQ(delivery_path_label("https", "example"), "https_com");
}

TEST(DeliveryPaths, WireBodyTagsThePathAndRejectsBadBodies) {
  std::string body = "{\"event\":\"e\"}";
  std::vector<char> out(body.size() + DELIVERY_TAG_ROOM);
  ASSERT_EQ(delivery_wire_body(body.c_str(), "https_net", out.data(), out.size()), 0);
  flat_json j = parse_flat_json(out.data());
  ASSERT_TRUE(j.valid);
  EXPECT_EQ(j.keys.back(), "stats_delivery_path");
  EXPECT_EQ(std::string(out.data()), "{\"event\":\"e\",\"stats_delivery_path\":\"https_net\"}");
  EXPECT_EQ(delivery_wire_body("{\"a\":1", "http_com", out.data(), out.size()), -1);
  EXPECT_STREQ(out.data(), "");
  EXPECT_EQ(delivery_wire_body("", "http_com", out.data(), out.size()), -1);
  EXPECT_EQ(delivery_wire_body(nullptr, "http_com", out.data(), out.size()), -1);
  char small[20];
  EXPECT_EQ(delivery_wire_body(body.c_str(), "http_com", small, sizeof small), -1);
}
