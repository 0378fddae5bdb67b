#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/base64.h"
#include "state/tag_block.h"

namespace {

constexpr uint16_t PE32 = 0x10B;
constexpr uint16_t PE32_PLUS = 0x20B;
constexpr size_t PE_AT = 0x80;
constexpr size_t TABLE_AT = 0x400;
const std::string START = "<##TAGDATA##>";
const std::string END = "</##TAGDATA##>";

void put16(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  f[at] = v & 0xFF;
  f[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  put16(f, at, v & 0xFFFF);
  put16(f, at + 2, v >> 16);
}

// A signed image as the signing tool leaves it: headers, then at TABLE_AT one certificate
// entry whose DER blob is der_length bytes long after its 4-byte header. shift moves the tag
// away from its defined place; the security directory covers everything to the end.
std::vector<uint8_t> signed_image(uint16_t magic, size_t der_length, const std::string& tag, long shift = 0,
                                  bool pad = true) {
  size_t der_end = TABLE_AT + 8 + 4 + der_length;
  size_t aligned = TABLE_AT + ((der_length + 19) & ~size_t{7});
  size_t tag_at = static_cast<size_t>(static_cast<long>(aligned) + shift);
  std::vector<uint8_t> f(std::max(der_end, tag_at), 0);
  f[0] = 'M';
  f[1] = 'Z';
  put32(f, 0x3C, PE_AT);
  memcpy(&f[PE_AT], "PE\0\0", 4);
  size_t optional = PE_AT + 24;
  put16(f, optional, magic);
  size_t count_at = optional + (magic == PE32 ? 92 : 108);
  put32(f, count_at, 16);
  f[TABLE_AT + 8] = 0x30;
  f[TABLE_AT + 9] = 0x82;
  f[TABLE_AT + 10] = static_cast<uint8_t>(der_length >> 8);
  f[TABLE_AT + 11] = static_cast<uint8_t>(der_length);
  f.insert(f.begin() + static_cast<long>(tag_at), tag.begin(), tag.end());
  if (pad) f.resize(f.size() + (8 - f.size() % 8) % 8, 0);
  put32(f, count_at + 4 + 8 * 4, TABLE_AT);
  put32(f, count_at + 4 + 8 * 4 + 4, static_cast<uint32_t>(f.size() - TABLE_AT));
  put32(f, TABLE_AT, static_cast<uint32_t>(f.size() - TABLE_AT));
  return f;
}

int find(const std::vector<uint8_t>& f, std::string* text, size_t out_size = TAG_BUFFER) {
  std::vector<char> out(out_size, 'Z');
  int n = tag_block_find(f.data(), f.size(), out.data(), out.size());
  *text = out.data();
  return n;
}

}  // namespace

TEST(TagBlock, FoundRightAfterTheSignatureInBothImageFormats) {
  std::string text;
  for (uint16_t magic : {PE32, PE32_PLUS}) {
    for (size_t der = 1500; der < 1508; ++der) {  // every padding from 0 to 7 bytes
      auto f = signed_image(magic, der, START + "eyJhIjoiYiJ9" + END);
      ASSERT_EQ(find(f, &text), 12) << magic << " " << der;
      EXPECT_EQ(text, "eyJhIjoiYiJ9");
    }
  }
  // An empty tag at the very end of the file is still a tag: 27 bytes suffice.
  auto f = signed_image(PE32, 1504, START + END, 0, false);
  ASSERT_EQ(f.size(), TABLE_AT + 1520 + 27);
  EXPECT_EQ(find(f, &text), 0);
  EXPECT_EQ(text, "");
}

TEST(TagBlock, NotSearchedForAnywhereElse) {
  std::string text;
  for (long shift : {-8L, -1L, 1L, 8L}) {
    auto f = signed_image(PE32, 1501, START + "QQ==" + END, shift);
    EXPECT_EQ(find(f, &text), -1) << shift;
    EXPECT_EQ(text, "");
  }
  // der 1501 ends 4 bytes before the 8-byte boundary; a tag glued to the blob is missed.
  EXPECT_EQ(find(signed_image(PE32, 1501, START + "QQ==" + END, -3), &text), -1);
}

TEST(TagBlock, UnsignedOrDamagedImagesGiveNothing) {
  std::string text;
  auto good = signed_image(PE32_PLUS, 1600, START + "QQ==" + END);
  ASSERT_EQ(find(good, &text), 4);
  auto broken = [&](auto change) {
    auto f = good;
    change(f);
    return find(f, &text);
  };
  size_t dirs = PE_AT + 24 + 112;
  EXPECT_EQ(broken([&](auto& f) { put32(f, dirs + 32, 0); }), -1);                      // unsigned
  EXPECT_EQ(broken([&](auto& f) { put32(f, dirs + 36, 0); }), -1);                      // empty table
  EXPECT_EQ(broken([&](auto& f) { put32(f, dirs + 36, f.size()); }), -1);               // table past the end
  EXPECT_EQ(broken([&](auto& f) { put32(f, dirs + 32, 0xFFFFFFF0); }), -1);             // offset wraps
  EXPECT_EQ(broken([&](auto& f) { f[TABLE_AT + 9] = 0x83; }), -1);                      // longer DER length form
  EXPECT_EQ(broken([&](auto& f) { f[0] = 'X'; }), -1);
  EXPECT_EQ(broken([&](auto& f) { f[PE_AT + 2] = 'X'; }), -1);
  EXPECT_EQ(broken([&](auto& f) { put16(f, PE_AT + 24, 0x107); }), -1);                 // ROM image
  EXPECT_EQ(broken([&](auto& f) { put32(f, PE_AT + 24 + 108, 4); }), -1);               // no security entry
  EXPECT_EQ(broken([&](auto& f) { put32(f, 0x3C, static_cast<uint32_t>(f.size() - 20)); }), -1);
  EXPECT_EQ(broken([&](auto& f) { put32(f, 0x3C, 0xFFFFFFFF); }), -1);
  EXPECT_EQ(broken([&](auto& f) { f.resize(f.size() - 8); f.push_back('<'); }), -1);   // no end marker
  std::vector<uint8_t> tiny(good.begin(), good.begin() + 63);
  EXPECT_EQ(find(tiny, &text), -1);
}

TEST(TagBlock, HeadersNearTheEndOfTheFileAreNotReadPastIt) {
  // The PE header fits, the directory table would not: the walk must stop, not read on.
  std::vector<uint8_t> f(PE_AT + 26, 0);
  f[0] = 'M';
  f[1] = 'Z';
  put32(f, 0x3C, PE_AT);
  memcpy(&f[PE_AT], "PE\0\0", 4);
  put16(f, PE_AT + 24, PE32);
  std::string text;
  EXPECT_EQ(find(f, &text), -1);
}

TEST(TagBlock, LongTagsAreCutToTheBuffer) {
  std::string body(9000, 'A');
  auto f = signed_image(PE32, 1500, START + body + END);
  std::string text;
  EXPECT_EQ(find(f, &text), 8191);
  EXPECT_EQ(text, std::string(8191, 'A'));
  EXPECT_EQ(find(f, &text, 5), 4);
  EXPECT_EQ(text, "AAAA");
}

TEST(UninstallFirstPreference, TagValues) {
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\":\"TRUE\"}"), 1);
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\": \"1\"}"), 1);
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\":\"False\"}"), 0);
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\":\"0\"}"), 0);
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\":\"yes\"}"), -1);
  EXPECT_EQ(uninstall_first_preference("{\"uninstall_first\":1}"), -1);  // unquoted: not a string field
  EXPECT_EQ(uninstall_first_preference("{\"utm_source\":\"x\"}"), -1);
  EXPECT_EQ(uninstall_first_preference(""), -1);
  EXPECT_EQ(uninstall_first_preference(nullptr), -1);
}
