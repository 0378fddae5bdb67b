#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/uuid.h"

namespace {

constexpr uint64_t TICKS = 10000000;                // FILETIME units per second
constexpr uint64_t UNIX_IN_1601 = 11644473600;      // seconds from 1601 to 1970
uint64_t filetime_of_unix(uint64_t unix_seconds) { return (unix_seconds + UNIX_IN_1601) * TICKS; }

std::string uuid_at(uint64_t unix_seconds, const uint8_t random[10]) {
  uuid_v8_time t = uuid_v8_time_from_filetime(filetime_of_unix(unix_seconds));
  char out[UUID_TEXT_BUFFER];
  uuid_v8_layout(out, t.high, t.low, random);
  return out;
}

const uint8_t ZERO[10] = {};

}  // namespace

TEST(UuidV8, TimePartsCountSecondsSinceTheEpochAndClampEarlierClocks) {
  EXPECT_EQ(uuid_at(UUID_V8_EPOCH_UNIX, ZERO).substr(0, 15), "00000000-0001-8");
  EXPECT_EQ(uuid_at(UUID_V8_EPOCH_UNIX - 1, ZERO).substr(0, 15), "00000000-0001-8");
  EXPECT_EQ(uuid_at(0, ZERO).substr(0, 15), "00000000-0001-8");
  EXPECT_EQ(uuid_v8_time_from_filetime(0).high, 0u);  // a clock before 1970 as well
  EXPECT_EQ(uuid_at(UUID_V8_EPOCH_UNIX + 86400, ZERO).substr(0, 15), "00000015-1801-8");
  // Sub-second ticks never round up into the next second.
  uuid_v8_time t = uuid_v8_time_from_filetime(filetime_of_unix(UUID_V8_EPOCH_UNIX + 4095) + TICKS - 1);
  EXPECT_EQ(t.high, 0u);
  EXPECT_EQ(t.low, 0xFFFu);
  // The first eleven digits read as one number: the seconds since the epoch.
  uint64_t seconds = 1234567890;
  std::string id = uuid_at(UUID_V8_EPOCH_UNIX + seconds, ZERO);
  EXPECT_EQ(std::stoull(id.substr(0, 8) + id.substr(9, 3), nullptr, 16), seconds);
}

TEST(UuidV8, RandomBytesLandInTheirDigits) {
  const uint8_t r[10] = {0xFC, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x01};
  char out[UUID_TEXT_BUFFER];
  memset(out, 'Z', sizeof out);
  uuid_v8_layout(out, 0x89ABCDEF, 0x123, r);
  // r[0] = 0xFC: only its low two bits (0) reach the variant digit.
  EXPECT_STREQ(out, "89abcdef-1231-8123-8456-789abcdef001");
  EXPECT_EQ(strlen(out), 36u);
}

TEST(UuidV8, VersionMarkerAndVariantHoldForEveryRandomByte) {
  for (int b = 0; b < 256; ++b) {
    uint8_t r[10];
    memset(r, b, sizeof r);
    char out[UUID_TEXT_BUFFER];
    uuid_v8_layout(out, 0xFFFFFFFF, 0xFFFF, r);  // an over-wide low part is masked to 12 bits
    ASSERT_EQ(out[12], '1');
    ASSERT_EQ(out[14], '8');
    ASSERT_TRUE(strchr("89ab", out[19])) << b;
    ASSERT_EQ(std::string(out).substr(0, 12), "ffffffff-fff");
    for (int dash : {8, 13, 18, 23}) ASSERT_EQ(out[dash], '-');
    for (int i = 0; i < 36; ++i) ASSERT_TRUE(out[i] == '-' || strchr("0123456789abcdef", out[i])) << out;
  }
}
