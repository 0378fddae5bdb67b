// Fetching the product's package: one URL into one file (the stall and rate-collapse rules),
// and the walk over the download hosts until one URL succeeds.
#pragma once

#include <cstdint>

// DOWNLOAD_PROXY_AUTH_REQUIRED: the proxy still asked for sign-in after the signed-in user's
// own credentials were offered.
enum download_result {
  DOWNLOAD_OK = 0,
  DOWNLOAD_FAILED = -1,
  DOWNLOAD_RATE_COLLAPSED = -2,
  DOWNLOAD_PROXY_AUTH_REQUIRED = -3
};

typedef void (*download_progress_fn)(int32_t percent, void* context);

// URL and destination are UTF-8. A failed or abandoned download never leaves the file behind.
// A response whose Content-Length is above max_bytes is refused before its body is read, and
// a body is cut off and refused once it passes max_bytes (with or without a length). A try
// that breaks after some bytes is taken up where it broke when the server allows it, at most
// twice (download_resume.h); the appended total is bounded by max_bytes the same way.
int http_download_file(const char* url, const char* dest_path, download_progress_fn progress, void* context,
                       int rate_check, uint64_t max_bytes);

// http_download_file with the attempt's log lines around it ("zip"/"msi" as the label), at
// most the build's maximum package size (MAX_PACKAGE_BYTES).
int download_attempt(const char* label, const char* url, const char* dest_path, download_progress_fn progress,
                     void* context, int rate_check);

// What the caller makes of a downloaded file before the walk ends: keep it, refuse it (the walk
// deletes it and goes on to the next URL exactly as after a failed download), or stop the walk
// (the caller's context says why).
enum package_verdict { PACKAGE_ACCEPTED = 0, PACKAGE_REFUSED = 1, PACKAGE_STOP = -1 };
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
constexpr int DOWNLOAD_WALK_STOPPED = -2;
constexpr int DOWNLOAD_WALK_PROXY_AUTH = -3;

// 0 with path_out (260) naming the file kept and message_out (512) "success"; -1 with
// "Failed to download installer after all attempts" once every URL has failed or been refused,
// DOWNLOAD_WALK_PROXY_AUTH (same message) when a proxy refused sign-in on one of them;
// DOWNLOAD_WALK_STOPPED when the accept callback stopped the walk.
int download_installer_package(const package_download_request* request, char* path_out, char* message_out);
