// The tag text is outside input: decoding must stay within the output and terminate it,
// and never produce more bytes than the alphabet characters can carry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "base/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t sextets = 0;
  for (char c : std::string(text.c_str())) sextets += std::strchr("+/=", c) != nullptr || std::isalnum(static_cast<unsigned char>(c));
  for (size_t out_size : {size_t{8192}, size_t{1}, size_t{7}}) {
    std::vector<char> out(out_size + 1, 'Z');
    size_t n = base64_decode(text.c_str(), out.data(), out_size);
    if (n >= out_size || out[n] != '\0' || out[out_size] != 'Z') abort();
    if (n > sextets * 6 / 8) abort();
  }
  return 0;
}
