// Whether an address the browser reports is the host's own page, or inside its pages folder:
// the page channel reaches an elevated host from a browser running as the user, so a message or
// a navigation is trusted only by where it comes from. Both sides are compared as the file
// they name: scheme and the Windows path case-insensitively (ASCII), percent-escapes decoded
// (the browser escapes blanks and non-ASCII letters the host wrote plainly), query and fragment
// left out. An address that is not a local file URL, has a host, a malformed or NUL escape, or
// an escaped slash or backslash (which would name another file than it seems) never matches.
#pragma once

// The message's source is the page the host navigated to (same folder, same file name).
bool page_address_same_page(const char* source, const char* page_url);

// The navigation's target lies in the folder of page_url or below it (no ".." segment).
bool page_address_in_pages_folder(const char* target, const char* page_url);
