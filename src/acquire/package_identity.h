// Which signed package is installed: a package of the pinned publisher may still be another of
// its products or an older release with a known flaw, served over the plain-HTTP fallback. So
// the MSI's UpgradeCode must be the product's and its ProductVersion at least the build's floor.
#pragma once

#include <cstddef>

// Compares dotted decimal versions field by field ("2.1" equals "2.1.0.0"): where a stands to b.
// unreadable when either is not made of 1 to 4 decimal fields of at most 9 digits each.
enum class version_order { older, same, newer, unreadable };
version_order package_version_compare(const char* a, const char* b);

// Null when a package of upgrade_code and version may be installed, else why not (in reason,
// also returned): another UpgradeCode (GUIDs compared without regard to case), a version that
// is not one, or one below floor. A floor of "0" lets every version through.
const char* package_identity_refusal(const char* upgrade_code, const char* version, const char* expected_code,
                                     const char* floor, char* reason, size_t size);
