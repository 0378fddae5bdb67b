#include "acquire/download_resume.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

// "bytes", alone or in a comma-separated list, in any case.
bool lists_bytes(const char* text) {
  char token[16];
  while (text && *text) {
    while (*text == ' ' || *text == ',') ++text;
    size_t n = strcspn(text, ", ");
    if (n < sizeof token) {
      memcpy(token, text, n);
      token[n] = '\0';
      if (text_equal_nocase(token, "bytes")) return true;
    }
    text += n;
  }
  return false;
}

// A header value we may send back as it stands: visible ASCII and spaces, not empty.
bool sendable(const char* text) {
  if (!text || !*text) return false;
  for (const char* c = text; *c; ++c)
    if (*c < 0x20 || *c > 0x7e) return false;
  return true;
}

// Decimal digits up to a character not a digit; nullptr when none or past 64 bits.
const char* read_number(const char* text, uint64_t* value) {
  if (*text < '0' || *text > '9') return nullptr;
  uint64_t v = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    uint64_t digit = static_cast<uint64_t>(*text - '0');
    if (v > (UINT64_MAX - digit) / 10) return nullptr;
    v = v * 10 + digit;
  }
  *value = v;
  return text;
}

// "bytes first-last/complete" or "bytes first-last/*" (complete 0); -1 when malformed.
int read_content_range(const char* text, uint64_t* first, uint64_t* last, uint64_t* complete) {
  if (!text || strncmp(text, "bytes ", 6) != 0) return -1;
  const char* c = read_number(text + 6, first);
  if (!c || *c != '-' || !(c = read_number(c + 1, last)) || *c != '/' || *last < *first) return -1;
  if (strcmp(c + 1, "*") == 0) {
    *complete = 0;
    return 0;
  }
  c = read_number(c + 1, complete);
  return c && *c == '\0' && *last < *complete ? 0 : -1;
}

}  // namespace

void resume_offer_read(const char* accept_ranges, const char* etag, const char* last_modified, resume_offer* offer) {
  offer->accepts_ranges = lists_bytes(accept_ranges) ? 1 : 0;
  offer->validator[0] = '\0';
  bool strong = sendable(etag) && etag[0] == '"';  // a weak one starts with W/
  const char* chosen = strong ? etag : (sendable(last_modified) ? last_modified : nullptr);
  if (chosen && !text_copy(offer->validator, sizeof offer->validator, chosen)) offer->validator[0] = '\0';
}

resume_step resume_next_step(try_end end, const resume_offer* offer, uint64_t on_disk, uint64_t full_length,
                             int resumes_left) {
  if (resumes_left <= 0) return RESUME_GIVE_UP;
  if (end == TRY_WRONG_RANGE) return RESUME_START_OVER;
  if (end != TRY_BROKE || on_disk == 0 || !offer->accepts_ranges || !offer->validator[0]) return RESUME_GIVE_UP;
  if (full_length != 0 && on_disk >= full_length) return RESUME_GIVE_UP;  // nothing left to ask for
  return RESUME_FROM_DISK;
}

int resume_request_headers(const resume_offer* offer, uint64_t on_disk, char* out, size_t size) {
  return text_format(out, size, "Range: bytes=%llu-\r\nIf-Range: %s", static_cast<unsigned long long>(on_disk),
                     offer->validator)
             ? 0
             : -1;
}

range_answer resume_answer(uint32_t status, const char* content_range, uint64_t on_disk, uint64_t* full_length) {
  if (status == 200) return RANGE_WHOLE;
  if (status != 206) return RANGE_REFUSED;
  uint64_t first = 0, last = 0, complete = 0;
  if (read_content_range(content_range, &first, &last, &complete) != 0 || first != on_disk) return RANGE_MISMATCH;
  if (complete == 0) {
    if (*full_length != 0 && last + 1 != *full_length) return RANGE_MISMATCH;
    return RANGE_APPEND;
  }
  if (last + 1 != complete || (*full_length != 0 && complete != *full_length)) return RANGE_MISMATCH;
  *full_length = complete;
  return RANGE_APPEND;
}
