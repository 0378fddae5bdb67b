// The package's file name for this machine and the ordered list of URLs it is fetched from.
#pragma once

#include <cstddef>

constexpr size_t PACKAGE_NAME_SIZE = 256;
constexpr size_t PACKAGE_URL_SIZE = 2048;
constexpr size_t PACKAGE_PATH_SIZE = 260;
constexpr int PACKAGE_MAX_ATTEMPTS = 12;

// The MSI name for an architecture ("ARM64" in any case, else x64) and an offered version
// (null or empty: the "-latest" name). out is always terminated within size.
void installer_package_name(const char* architecture, const char* version, char* out, size_t size);

// The ZIP twin of an MSI name: a lower-case ".msi" ending becomes ".zip"; otherwise a copy.
void package_zip_name(const char* msi_name, char* out, size_t size);

struct package_attempt {
  const char* label;  // "zip" or "msi"
  char url[PACKAGE_URL_SIZE];
  int is_zip;
  int is_last;  // the very last URL of the sequence never runs the rate rule
};

// Fills attempts with the sequence: https then http, over the ordered download hosts, the
// ZIP before the MSI unless msi_only. Returns the number of attempts (12, or 6 when msi_only).
int package_attempt_plan(const char* host_prefix, const char* attributed_domain, const char* msi_name, int msi_only,
                         package_attempt attempts[PACKAGE_MAX_ATTEMPTS]);
