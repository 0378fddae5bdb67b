// Fetching the product's package: one URL into one file (the stall and rate-collapse rules),
// and the walk over the download hosts until one URL succeeds.
#pragma once

#include <cstdint>

enum download_result { DOWNLOAD_OK = 0, DOWNLOAD_FAILED = -1, DOWNLOAD_RATE_COLLAPSED = -2 };

typedef void (*download_progress_fn)(int32_t percent, void* context);

// URL and destination are UTF-8. A failed or abandoned download never leaves the file behind.
int http_download_file(const char* url, const char* dest_path, download_progress_fn progress, void* context,
                       int rate_check);

// http_download_file with the attempt's log lines around it ("zip"/"msi" as the label).
int download_attempt(const char* label, const char* url, const char* dest_path, download_progress_fn progress,
                     void* context, int rate_check);

struct package_download_request {
  const char* host_prefix;        // may be null
  const char* attributed_domain;  // may be null or empty: only orders the domains
  const char* msi_name;
  const char* dest_dir;
  download_progress_fn progress;  // may be null
  void* context;
  int32_t msi_only;
};

constexpr unsigned DOWNLOAD_PATH_OUT = 260;
constexpr unsigned DOWNLOAD_MESSAGE_OUT = 512;

// 0 with path_out (260) naming the file and message_out (512) "success"; -1 with
// "Failed to download installer after all attempts" once every URL has failed.
int download_installer_package(const package_download_request* request, char* path_out, char* message_out);
