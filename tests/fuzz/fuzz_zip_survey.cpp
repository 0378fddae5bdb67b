// The ZIP survey's sums are outside input: each entry's declared size (up to 2^64-1 in a ZIP64
// record), the entry count, and the names. Whatever the central directory says, the survey's
// total never passes the cap nor wraps, its count never passes the entry cap, and a package's
// wanted entry is only ever a file at the root with the wanted name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "acquire/zip_extract_rules.h"
#include "base/bounded_text.h"

namespace {

// Reads one entry from the input: 8 bytes of declared size (little-endian), a name length
// byte and that many name bytes. False when the input is used up.
bool next_entry(const uint8_t*& data, size_t& size, uint64_t* declared, std::string* name) {
  if (size < 9) return false;
  *declared = 0;
  for (int i = 7; i >= 0; --i) *declared = *declared << 8 | data[i];
  size_t length = data[8] < size - 9 ? data[8] : size - 9;
  name->assign(reinterpret_cast<const char*>(data + 9), length);
  data += 9 + length;
  size -= 9 + length;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char* wanted = data[0] & 1 ? "Product.msi" : nullptr;
  ++data;
  --size;
  zip_survey survey;
  unsigned __int128 exact = 0;  // the sum no 64-bit counter can wrap, as the oracle
  uint64_t declared;
  std::string name;
  while (next_entry(data, size, &declared, &name)) {
    zip_survey before = survey;
    const char* refusal = zip_survey_add(&survey, declared);
    if (refusal) {
      if (survey.entries != before.entries || survey.total_bytes != before.total_bytes) abort();
      if (exact + declared <= ZIP_MAX_TOTAL_BYTES && before.entries < ZIP_MAX_ENTRIES) abort();  // refused for nothing
      break;
    }
    exact += declared;
    if (exact != survey.total_bytes || survey.total_bytes > ZIP_MAX_TOTAL_BYTES) abort();
    if (survey.entries > ZIP_MAX_ENTRIES) abort();

    char relative[260];
    int kind = zip_entry_path(name.c_str(), relative, sizeof relative);
    if (zip_entry_wanted(kind, relative, wanted)) {
      if (kind == ZIP_ENTRY_REFUSED) abort();
      if (wanted && (kind != ZIP_ENTRY_FILE || strchr(relative, '\\') || !text_equal_nocase(relative, wanted))) abort();
    }
    if (zip_progress_percent(survey.total_bytes / 2, survey.total_bytes) > 100) abort();
  }
  return 0;
}
