// Taking up a broken download where it stopped: whether the server allows it, what to ask
// for, and what its answer means. Plain values only, so every case is tried without a network.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int DOWNLOAD_MAX_RESUMES = 2;  // further tries of one URL after its first
constexpr unsigned RESUME_VALIDATOR_SIZE = 128;

// What a whole (200) answer said about asking for its rest later.
struct resume_offer {
  int accepts_ranges;                     // "Accept-Ranges: bytes"
  char validator[RESUME_VALIDATOR_SIZE];  // a strong ETag, else Last-Modified; empty: none
};

// Reads the offer from the three header texts (null or empty when absent). A weak ETag may
// not name a range, and a value with control characters or too long for a header line of
// ours is no validator either: the server's text is copied into the next request.
void resume_offer_read(const char* accept_ranges, const char* etag, const char* last_modified, resume_offer* offer);

// How a try of one URL ended, as far as its next try is concerned.
enum try_end {
  TRY_COMPLETE = 0,     // the whole file is on disk
  TRY_BROKE = 1,        // the connection dropped, stalled or ended early after its headers
  TRY_REFUSED = 2,      // an answer, a limit, the disk or the rate rule ended it: next URL
  TRY_WRONG_RANGE = 3,  // a 206 that does not continue the bytes on disk
};

enum resume_step { RESUME_GIVE_UP = 0, RESUME_FROM_DISK = 1, RESUME_START_OVER = 2 };

// After a try that did not complete: ask for the rest (Range and If-Range), ask for the whole
// file again into an emptied file, or leave the URL. full_length 0 means unknown.
resume_step resume_next_step(try_end end, const resume_offer* offer, uint64_t on_disk, uint64_t full_length,
                             int resumes_left);

// The extra request headers asking for the bytes from on_disk on, if the file is still the
// one the offer describes: 0, or -1 when they do not fit size.
int resume_request_headers(const resume_offer* offer, uint64_t on_disk, char* out, size_t size);

enum range_answer {
  RANGE_APPEND = 0,    // 206 continuing at on_disk up to the end: append the body
  RANGE_WHOLE = 1,     // 200: the file changed or ranges are ignored; the body is the whole file
  RANGE_MISMATCH = 2,  // 206 for other bytes than asked: the body cannot be used
  RANGE_REFUSED = 3,   // any other status
};

// The answer to a ranged request. For RANGE_APPEND, *full_length is the whole file's length
// from Content-Range (0 when it gives none); a length that differs from the one known before
// is a mismatch.
range_answer resume_answer(uint32_t status, const char* content_range, uint64_t on_disk, uint64_t* full_length);
