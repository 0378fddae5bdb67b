#include <windows.h>

#include "acquire/download.h"
#include "acquire/package_name.h"
#include "base/bounded_text.h"
#include "base/wide_win.h"

namespace {

package_verdict judge(const package_download_request* request, const char* path) {
  if (!request->accept) return package_verdict::accepted;
  package_verdict verdict = request->accept(path, request->accept_context);
  if (verdict == package_verdict::refused) {
    wchar_t wide[MAX_PATH];
    if (utf8_to_wide(path, wide, MAX_PATH) == 0) DeleteFileW(wide);
  }
  return verdict;
}

}  // namespace

package_walk download_installer_package(const package_download_request* request, char* path_out, char* message_out) {
  package_attempt attempts[PACKAGE_MAX_ATTEMPTS];
  int count = package_attempt_plan(request->host_prefix, request->attributed_domain, request->msi_name,
                                   request->msi_only, attempts);
  char zip_name[PACKAGE_NAME_SIZE], zip_path[PACKAGE_PATH_SIZE], msi_path[PACKAGE_PATH_SIZE];
  package_zip_name(request->msi_name, zip_name, sizeof zip_name);
  text_format(zip_path, sizeof zip_path, "%s\\%s", request->dest_dir, zip_name);
  text_format(msi_path, sizeof msi_path, "%s\\%s", request->dest_dir, request->msi_name);
  int collapsed = 0, proxy_refused = 0;
  for (int i = 0; i < count; ++i) {
    const package_attempt& a = attempts[i];
    const char* path = a.is_zip ? zip_path : msi_path;
    download_result result =
        download_attempt(a.label, a.url, path, request->progress, request->context, !collapsed && !a.is_last);
    if (result == download_result::ok) {
      package_verdict verdict = judge(request, path);
      if (verdict == package_verdict::stop) return package_walk::stopped;
      if (verdict == package_verdict::accepted) {
        text_copy(path_out, DOWNLOAD_PATH_OUT, path);
        text_copy(message_out, DOWNLOAD_MESSAGE_OUT, "success");
        return package_walk::kept;
      }
    }
    if (result == download_result::rate_collapsed) collapsed = 1;
    if (result == download_result::proxy_auth_required) proxy_refused = 1;
  }
  text_copy(message_out, DOWNLOAD_MESSAGE_OUT, "Failed to download installer after all attempts");
  return proxy_refused ? package_walk::proxy_refused_sign_in : package_walk::all_failed;
}
