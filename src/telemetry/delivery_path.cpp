#include "telemetry/delivery_path.h"

#include <cstring>

#include "base/bounded_text.h"
#include "product/vendor_domain.h"

const char* delivery_path_label(const char* scheme, const char* domain) {
  static const char* const labels[2][3] = {{"https_com", "https_net", "https_org"},
                                           {"http_com", "http_net", "http_org"}};
  int s = (scheme && strcmp(scheme, "https") == 0) ? 0 : 1;
  int d = 0;
  if (domain && strstr(domain, ".net"))
    d = 1;
  else if (domain && strstr(domain, ".org"))
    d = 2;
  return labels[s][d];
}

void delivery_paths_build(const char* attributed_domain, delivery_path paths[DELIVERY_PATH_COUNT]) {
  const char* order[VENDOR_DOMAIN_COUNT];
  download_domain_order(attributed_domain, order);
  for (int i = 0; i < DELIVERY_PATH_COUNT; ++i) {
    paths[i].scheme = i < VENDOR_DOMAIN_COUNT ? "https" : "http";
    paths[i].domain = order[i % VENDOR_DOMAIN_COUNT];
    paths[i].label = delivery_path_label(paths[i].scheme, paths[i].domain);
  }
}

void stats_url(const delivery_path* path, const char* host_prefix, const char* event_name, char* out, size_t size) {
  text_format(out, size, "%s://%sstats.%s/?event=%s", path->scheme, host_prefix ? host_prefix : "", path->domain,
              event_name ? event_name : "");
}

int delivery_wire_body(const char* body, const char* label, char* out, size_t size) {
  size_t len = body ? strlen(body) : 0;
  if (size) out[0] = '\0';
  if (len == 0 || body[len - 1] != '}' || len - 1 + 24 + strlen(label) + 2 >= size) return -1;
  memcpy(out, body, len - 1);
  out[len - 1] = '\0';
  text_append(out, size, ",\"stats_delivery_path\":\"");
  text_append(out, size, label);
  text_append(out, size, "\"}");
  return 0;
}
