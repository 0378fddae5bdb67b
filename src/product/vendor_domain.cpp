#include "product/vendor_domain.h"

#include "base/bounded_text.h"
#include "product/product.h"

namespace {
const char* const k_domains[VENDOR_DOMAIN_COUNT] = {VENDOR_DOMAIN_COM, VENDOR_DOMAIN_NET, VENDOR_DOMAIN_ORG};
}

bool is_alternate_vendor_domain(const char* text) {
  return text_equal_nocase(text, VENDOR_DOMAIN_NET) || text_equal_nocase(text, VENDOR_DOMAIN_ORG);
}

void download_domain_order(const char* attributed, const char* order[VENDOR_DOMAIN_COUNT]) {
  int first = 0;
  if (text_equal_nocase(attributed, VENDOR_DOMAIN_NET)) first = 1;
  if (text_equal_nocase(attributed, VENDOR_DOMAIN_ORG)) first = 2;
  int n = 0;
  order[n++] = k_domains[first];
  for (int i = 0; i < VENDOR_DOMAIN_COUNT; ++i)
    if (i != first) order[n++] = k_domains[i];
}
