// The Mark of the Web the browser attached to the downloaded setup program: which download
// host (production, dev or stage), which vendor domain variant and which session it came from.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t MOTW_READ_LIMIT = 4096;
constexpr size_t MOTW_TEXT_BUFFER = 8192;
constexpr size_t MOTW_VALUE_BUFFER = 2048;

struct motw_result {
  char host_prefix[64];  // "", "dev-" or "stage-"
  char sid[33];          // 8 to 32 letters and digits
  char host_domain[32];  // one of the program's own vendor-domain strings, never the URL's text
  int found_prefix;      // an empty prefix can be a finding: the production download host
  int found_sid;
  int found_domain;
};

// The stream's bytes as ASCII (UTF-16LE with its mark, UTF-8 with its mark, or plain bytes);
// anything outside ASCII becomes "?" or is dropped. Always terminated within size.
void motw_text_from_bytes(const uint8_t* bytes, size_t count, char* out, size_t size);

// The value of the first "key=" line (key in any ASCII case, blanks around trimmed); 0 or -1.
int motw_find_value(const char* text, const char* key, char* out, size_t size);

// The three derivations from one URL; each is true when it found its result.
bool motw_host_prefix(const char* url, char* out, size_t size);
bool motw_session_id(const char* url, char* out, size_t size);
bool motw_vendor_domain(const char* url, char* out, size_t size);

// HostUrl first, then ReferrerUrl for whatever HostUrl did not yield.
void motw_parse(const char* text, motw_result* result);

// Windows layer: reads ":Zone.Identifier" of the running executable and logs what it found.
// The outputs hold 64, 33 and 32 bytes.
void motw_read(char* host_prefix, char* sid, char* host_domain);
// The same for another executable's stream (its wide path, 1 to 259 characters).
void motw_read_for(const wchar_t* exe_path, char* host_prefix, char* sid, char* host_domain);
