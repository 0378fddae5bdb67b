// The publisher pin: the signer's key hash against the build's list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "acquire/publisher_pin.h"

namespace {

const uint8_t DIGEST[32] = {0xf1, 0xc0, 0x39, 0x77, 0xb9, 0x49, 0x64, 0xce, 0xc8, 0x28, 0xfb,
                            0x6c, 0xec, 0x5d, 0x1d, 0xcc, 0xb5, 0x10, 0x23, 0xec, 0x5d, 0xa2,
                            0xab, 0x13, 0xb9, 0x81, 0xba, 0x1d, 0x00, 0xdf, 0xe6, 0xa2};
const char* const HEX = "f1c03977b94964cec828fb6cec5d1dccb51023ec5da2ab13b981ba1d00dfe6a2";
const char* const OTHER = "0000000000000000000000000000000000000000000000000000000000000001";

TEST(PublisherPin, SignerKeyMustBeInTheBuildsList) {
  EXPECT_EQ(publisher_pin_check(DIGEST, HEX), PIN_MATCHED);
  EXPECT_EQ(publisher_pin_check(DIGEST, (std::string(OTHER) + ";" + HEX).c_str()), PIN_MATCHED);  // rotation
  std::string upper(HEX);
  for (char& c : upper) c = static_cast<char>(toupper(c));
  EXPECT_EQ(publisher_pin_check(DIGEST, upper.c_str()), PIN_MATCHED);
  EXPECT_EQ(publisher_pin_check(DIGEST, OTHER), PIN_NOT_LISTED);
  // A pin is a whole 64-digit entry: neither a part of one nor one with more after it.
  EXPECT_EQ(publisher_pin_check(DIGEST, std::string(HEX).substr(0, 63).c_str()), PIN_NOT_LISTED);
  EXPECT_EQ(publisher_pin_check(DIGEST, (std::string(HEX) + "0").c_str()), PIN_NOT_LISTED);
  EXPECT_EQ(publisher_pin_check(DIGEST, (std::string("x") + HEX).c_str()), PIN_NOT_LISTED);
}

TEST(PublisherPin, AnEmptyListTrustsNoOne) {
  EXPECT_EQ(publisher_pin_check(DIGEST, ""), PIN_LIST_EMPTY);
  EXPECT_EQ(publisher_pin_check(DIGEST, ";"), PIN_LIST_EMPTY);
  EXPECT_EQ(publisher_pin_check(DIGEST, nullptr), PIN_LIST_EMPTY);
}

TEST(PublisherPin, DigestAsText) {
  char text[65];
  digest_hex(DIGEST, text);
  EXPECT_STREQ(text, HEX);
}

}  // namespace
