// The addresses the browser reports (a request, a message's source, a navigation) are the
// browser user's to choose: whatever they are, a name taken from one stays in its buffer, is a
// plain bundle name (nothing that climbs out, escapes or changes drive), and names the page
// its own address names.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/page_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t small = size ? 1 + data[0] % PAGE_ADDRESS_MAX : 1;
  std::string name(small, 'Z');
  bool named = page_address_entry(text.c_str(), name.data(), small);
  if (!memchr(name.c_str(), '\0', small)) abort();
  if (!named) {
    if (name[0]) abort();  // a refused address leaves no name behind
    return 0;
  }
  std::string found(name.c_str());
  if (found.find_first_of("\\%:?#") != std::string::npos) abort();
  for (size_t start = 0;;) {  // no empty, "." or ".." segment
    size_t end = found.find('/', start);
    std::string segment = found.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (segment.empty() || segment == "." || segment == "..") abort();
    if (end == std::string::npos) break;
    start = end + 1;
  }
  char address[PAGE_ADDRESS_MAX];
  if (page_address_of(found.c_str(), address, sizeof address) == 0 &&
      (!page_address_same_page(text.c_str(), address) || !page_address_is_own(address)))
    abort();
  page_content_type(found.c_str());
  return 0;
}
