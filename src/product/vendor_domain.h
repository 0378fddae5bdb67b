// The three variants of the vendor domain and the order in which hosts on them are tried.
// Downloads, telemetry delivery and the session worker all build host names from these.
#pragma once

enum { VENDOR_DOMAIN_COUNT = 3 };

// True when text is the .net or .org variant (ASCII case-insensitive, whole string).
bool is_alternate_vendor_domain(const char* text);

// The attributed variant first, then the others in .com, .net, .org order; anything else
// (null, empty, .com, a foreign domain) gives .com, .net, .org. Always the program's own strings.
void download_domain_order(const char* attributed, const char* order[VENDOR_DOMAIN_COUNT]);
