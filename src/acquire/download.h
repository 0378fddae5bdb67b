// Fetching the product's package: one URL into one file (the stall and rate-collapse rules),
// and the walk over the download hosts until one URL succeeds.
#pragma once

#include <cstdint>

// proxy_auth_required: the proxy still asked for sign-in after the signed-in user's
// own credentials were offered.
enum class download_result { ok, failed, rate_collapsed, proxy_auth_required };

typedef void (*download_progress_fn)(int32_t percent, void* context);

// URL and destination are UTF-8. A failed or abandoned download never leaves the file behind.
// A response whose Content-Length is above max_bytes is refused before its body is read, and
// a body is cut off and refused once it passes max_bytes (with or without a length). A try
// that breaks after some bytes is taken up where it broke when the server allows it, at most
// twice (download_resume.h); the appended total is bounded by max_bytes the same way.
download_result http_download_file(const char* url, const char* dest_path, download_progress_fn progress,
                                   void* context, int rate_check, uint64_t max_bytes);

// http_download_file with the attempt's log lines around it ("zip"/"msi" as the label), at
// most the build's maximum package size (MAX_PACKAGE_BYTES).
download_result download_attempt(const char* label, const char* url, const char* dest_path,
                                 download_progress_fn progress, void* context, int rate_check);

// What the caller makes of a downloaded file before the walk ends: keep it, refuse it (the walk
// deletes it and goes on to the next URL exactly as after a failed download), or stop the walk
// (the caller's context says why).
enum class package_verdict { accepted, refused, stop };
typedef package_verdict (*package_accept_fn)(const char* path, void* context);

struct package_download_request {
  const char* host_prefix;        // may be null
  const char* attributed_domain;  // may be null or empty: only orders the domains
  const char* msi_name;
  const char* dest_dir;
  download_progress_fn progress;  // may be null
  void* context;
  int32_t msi_only;
  package_accept_fn accept;  // may be null: every download is kept
  void* accept_context;
};

constexpr unsigned DOWNLOAD_PATH_OUT = 260;
constexpr unsigned DOWNLOAD_MESSAGE_OUT = 512;

// kept: path_out (260) names the file kept and message_out (512) says "success". all_failed:
// every URL has failed or been refused, "Failed to download installer after all attempts";
// proxy_refused_sign_in the same, when a proxy refused sign-in on one of them. stopped: the
// accept callback stopped the walk.
enum class package_walk { kept, all_failed, proxy_refused_sign_in, stopped };
package_walk download_installer_package(const package_download_request* request, char* path_out, char* message_out);
