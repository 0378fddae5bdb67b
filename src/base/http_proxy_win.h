// Which proxy a request takes, from the person's settings: auto-detect, the auto-config
// script, the manual proxy and its bypass list, then WinHTTP's machine default (which is a
// direct connection where nobody set one). Decided once per scheme and host for the run, and
// logged once with the source that decided and why the sources before it did not (Windows layer).
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "base/http_session_win.h"

struct http_proxy_route {
  DWORD access;  // WINHTTP_ACCESS_TYPE_NAMED_PROXY, _NO_PROXY or _DEFAULT_PROXY
  wchar_t proxy[512];
  wchar_t bypass[1024];
};

void http_proxy_route_for(const http_target* target, http_proxy_route* out);
