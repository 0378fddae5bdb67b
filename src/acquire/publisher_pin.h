// Whose packages the program installs: the SHA-256 of the signer certificate's
// SubjectPublicKeyInfo must be one of the build's pins (cmake/publisher_pins.cmake). A key
// hash rather than a name: anyone can buy a certificate with a similar name, nobody can sign
// with the vendor's key.
#pragma once

#include <cstdint>

enum pin_verdict { PIN_MATCHED = 0, PIN_NOT_LISTED = 1, PIN_LIST_EMPTY = 2 };

// pin_list: 64-hex-digit entries separated by ";" (case does not matter); an entry of any
// other shape never matches. PIN_LIST_EMPTY when the list has no entry at all.
pin_verdict publisher_pin_check(const uint8_t digest[32], const char* pin_list);

// The digest as 64 lower-case hex digits, for the log.
void digest_hex(const uint8_t digest[32], char out[65]);
