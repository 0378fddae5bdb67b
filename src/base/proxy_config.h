// The person's proxy settings as their browser sees them (auto-detect, an auto-config script,
// a manual proxy with its bypass list) and the choices made from them for one host. Plain
// values only: the Windows layer reads the registry and asks WinHTTP to run scripts.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t PROXY_URL_SIZE = 1024, PROXY_SERVER_SIZE = 512, PROXY_BYPASS_SIZE = 1024;

struct proxy_settings {
  int auto_detect;  // WPAD
  int use_pac;
  int use_manual;
  char pac_url[PROXY_URL_SIZE];
  char server[PROXY_SERVER_SIZE];  // "host:port" or "http=host:port;https=host:port"
  char bypass[PROXY_BYPASS_SIZE];  // "*.example.com;<local>"
};

// The binary "DefaultConnectionSettings" value of the Internet settings' Connections key:
// version, counter, flags, then the proxy server, bypass list and script URL, each a 32-bit
// little-endian length and that many bytes. 0 when it reads whole; -1 (out emptied) when the
// value is short, a length runs past its end, or a text does not fit its field: a cut proxy
// name would name another host.
int proxy_settings_from_connection(const uint8_t* data, size_t size, proxy_settings* out);

// The older loose values ("ProxyEnable", "ProxyServer", "ProxyOverride", "AutoConfigURL"),
// for when the binary value is absent or unreadable. Null texts read as empty; -1 when a text
// does not fit its field (out emptied).
int proxy_settings_from_values(int proxy_enable, const char* server, const char* bypass, const char* pac_url,
                               proxy_settings* out);

// The proxy a manual server list names for a scheme: the "scheme=" entry, else an entry for
// every scheme. 0 with out filled; -1 when the list names none for it.
int proxy_for_scheme(const char* server_list, const char* scheme, char* out, size_t size);

// True when the host matches the bypass list: "*"-patterns compared without regard to case, and
// "<local>" for a host name without a dot.
bool proxy_bypassed(const char* bypass_list, const char* host);

enum proxy_source { PROXY_SOURCE_AUTO_DETECT = 0, PROXY_SOURCE_PAC = 1, PROXY_SOURCE_MANUAL = 2, PROXY_SOURCE_COUNT };

// Why a source of the settings is not tried, or null when it is.
const char* proxy_source_skip_reason(const proxy_settings* settings, proxy_source source);
const char* proxy_source_name(proxy_source source);

enum proxy_manual_kind { PROXY_MANUAL_PROXY = 0, PROXY_MANUAL_DIRECT = 1 };

// What the manual proxy settings make of one URL: the proxy (out filled), or a direct
// connection with the reason (bypass list, or no proxy for the scheme).
int proxy_manual_choice(const proxy_settings* settings, const char* scheme, const char* host, char* out, size_t size,
                        const char** direct_reason);
