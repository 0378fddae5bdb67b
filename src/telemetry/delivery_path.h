// The six ways an event can reach the stats host, and what each attempt sends.
#pragma once

#include <cstddef>

constexpr int DELIVERY_PATH_COUNT = 6;

struct delivery_path {
  const char* scheme;  // "https" or "http"
  const char* domain;  // one of the program's own domain variants
  const char* label;   // "https_com" ... "http_org"
};

// "https_com", "https_net", "https_org", "http_com", "http_net" or "http_org".
const char* delivery_path_label(const char* scheme, const char* domain);

// https over the ordered domains (attributed variant first), then http over the same three.
void delivery_paths_build(const char* attributed_domain, delivery_path paths[DELIVERY_PATH_COUNT]);

// "%s://%sstats.%s/?event=%s".
void stats_url(const delivery_path* path, const char* host_prefix, const char* event_name, char* out, size_t size);

// Extra bytes a wire body needs beyond the event body (and its terminator).
constexpr size_t DELIVERY_TAG_ROOM = 38;

// The body without its final '}', then ,"stats_delivery_path":"<label>"}. -1 (out emptied)
// when the body is empty, does not end in '}' or out is too small.
int delivery_wire_body(const char* body, const char* label, char* out, size_t size);
