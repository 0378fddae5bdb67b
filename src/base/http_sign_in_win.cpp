#include <windows.h>
#include <winhttp.h>

#include "base/bounded_text.h"
#include "base/http_session_win.h"
#include "base/log.h"

namespace {

constexpr DWORD PROXY_AUTH_REQUIRED = 407;

int send_and_receive(HINTERNET request, const wchar_t* headers, void* body, DWORD body_length, DWORD* status) {
  if (!WinHttpSendRequest(request, headers ? headers : WINHTTP_NO_ADDITIONAL_HEADERS, headers ? static_cast<DWORD>(-1L) : 0,
                          body ? body : WINHTTP_NO_REQUEST_DATA, body_length, body_length, 0) ||
      !WinHttpReceiveResponse(request, nullptr))
    return -1;
  *status = http_status_code(request);
  return 0;
}

const char* scheme_names(DWORD schemes, char* out, size_t size) {
  static const struct {
    DWORD scheme;
    const char* name;
  } names[] = {{WINHTTP_AUTH_SCHEME_NEGOTIATE, "Negotiate"}, {WINHTTP_AUTH_SCHEME_NTLM, "NTLM"},
               {WINHTTP_AUTH_SCHEME_DIGEST, "Digest"},       {WINHTTP_AUTH_SCHEME_BASIC, "Basic"},
               {WINHTTP_AUTH_SCHEME_PASSPORT, "Passport"}};
  text_copy(out, size, "");
  for (const auto& n : names)
    if (schemes & n.scheme) {
      if (out[0]) text_append(out, size, ",");
      text_append(out, size, n.name);
    }
  return out[0] ? out : "none";
}

// Only the schemes that carry the signed-in user's own credentials can be answered without
// asking the person: a password prompt has no place in a silent run.
int use_own_credentials(HINTERNET request) {
  DWORD supported = 0, first = 0, target = 0;
  char offered[64];
  if (!WinHttpQueryAuthSchemes(request, &supported, &first, &target)) {
    log_warn("Proxy sign-in: the proxy asks for sign-in (HTTP 407) but names no scheme (err=%lu)", GetLastError());
    return -1;
  }
  scheme_names(supported, offered, sizeof offered);
  DWORD scheme = (supported & WINHTTP_AUTH_SCHEME_NEGOTIATE) ? WINHTTP_AUTH_SCHEME_NEGOTIATE
                 : (supported & WINHTTP_AUTH_SCHEME_NTLM)    ? WINHTTP_AUTH_SCHEME_NTLM
                                                             : 0;
  if (!scheme) {
    log_warn("Proxy sign-in: the proxy asks for sign-in (HTTP 407) with %s only, which needs a password", offered);
    return -1;
  }
  DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
  WinHttpSetOption(request, WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
  if (!WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr, nullptr, nullptr)) {
    log_warn("Proxy sign-in: the user's own credentials could not be set for %s (err=%lu)", offered, GetLastError());
    return -1;
  }
  log_info("Proxy sign-in: the proxy asks for sign-in (HTTP 407, offers %s) — sending again as the signed-in user",
           offered);
  return 0;
}

}  // namespace

int http_send_signed_in(HINTERNET request, const wchar_t* headers, void* body, DWORD body_length, DWORD* status) {
  *status = 0;
  if (send_and_receive(request, headers, body, body_length, status) != 0) return -1;
  if (*status != PROXY_AUTH_REQUIRED) return 0;
  http_discard_body(request);
  if (use_own_credentials(request) != 0) return 0;
  if (send_and_receive(request, headers, body, body_length, status) != 0) {
    DWORD err = GetLastError();
    log_warn("Proxy sign-in: the request sent again as the signed-in user failed (err=%lu)", err);
    SetLastError(err);
    return -1;
  }
  if (*status == PROXY_AUTH_REQUIRED)
    log_warn("Proxy sign-in: the proxy refused the signed-in user (HTTP 407 again)");
  else
    log_info("Proxy sign-in: accepted (HTTP %lu)", *status);
  return 0;
}
