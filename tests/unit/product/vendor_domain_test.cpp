// The vendor domain variants and the order hosts on them are tried in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "product/vendor_domain.h"

namespace {

std::vector<std::string> order_for(const char* attributed) {
  const char* order[VENDOR_DOMAIN_COUNT];
  download_domain_order(attributed, order);
  return {order[0], order[1], order[2]};
}

}  // namespace

TEST(VendorDomain, AlternateVariantsAndOrder) {
  EXPECT_EQ(is_alternate_vendor_domain("corvane.net"), 1);
  EXPECT_EQ(is_alternate_vendor_domain("CORVANE.ORG"), 1);
  EXPECT_EQ(is_alternate_vendor_domain("corvane.com"), 0);
  EXPECT_EQ(is_alternate_vendor_domain("x.corvane.net"), 0);
  EXPECT_EQ(is_alternate_vendor_domain(nullptr), 0);
  using v = std::vector<std::string>;
  EXPECT_EQ(order_for(nullptr), (v{"corvane.com", "corvane.net", "corvane.org"}));
  EXPECT_EQ(order_for("corvane.com"), (v{"corvane.com", "corvane.net", "corvane.org"}));
  EXPECT_EQ(order_for("evil.example"), (v{"corvane.com", "corvane.net", "corvane.org"}));
  EXPECT_EQ(order_for("Corvane.NET"), (v{"corvane.net", "corvane.com", "corvane.org"}));
  EXPECT_EQ(order_for("CORVANE.ORG"), (v{"corvane.org", "corvane.com", "corvane.net"}));
}
