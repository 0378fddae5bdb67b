// The executable's bytes are outside input once the file has been tampered with: the walk
// must stay inside them whatever the headers claim. Each input is tried raw and as the
// certificate table of an otherwise valid image, so the fuzzer reaches the marker checks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "state/tag_block.h"

namespace {

void check(const uint8_t* data, size_t size, size_t out_size) {
  std::vector<char> out(out_size, 'Z');
  int n = tag_block_find(data, size, out.data(), out.size());
  if (n < -1 || (n >= 0 && static_cast<size_t>(n) >= out_size)) abort();
  if (memchr(out.data(), '\0', out_size) == nullptr) abort();
  if (n == -1 && out[0] != '\0') abort();
}

std::vector<uint8_t> with_headers(const uint8_t* data, size_t size, int plus) {
  const size_t table = 0x200;
  std::vector<uint8_t> image(table, 0);
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x80;
  memcpy(&image[0x80], "PE\0\0", 4);
  image[0x98] = 0x0B;
  image[0x99] = plus ? 0x02 : 0x01;
  size_t count_at = 0x98 + (plus ? 108 : 92);
  image[count_at] = 16;
  image.insert(image.end(), data, data + size);
  uint32_t offset = table, length = static_cast<uint32_t>(size);
  memcpy(&image[count_at + 4 + 32], &offset, 4);
  memcpy(&image[count_at + 4 + 36], &length, 4);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  check(data, size, TAG_BUFFER);
  int plus = size > 0 && (data[0] & 1);
  std::vector<uint8_t> image = with_headers(data, size, plus);
  check(image.data(), image.size(), TAG_BUFFER);
  check(image.data(), image.size(), 1 + (size > 1 ? data[1] % 32 : 0));
  return 0;
}
