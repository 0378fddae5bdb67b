// The pages' own addresses. The host serves its pages from the bundle in its own memory on one
// origin of its own, so what the browser shows never depends on files that the browser's user
// (not the elevated host) must be able to read, and the page channel has one source to check:
// a message or a navigation is trusted only by where it comes from, because the browser runs
// as the user while the host may run elevated, and any process of that user can drive it.
// The ".invalid" name never resolves: a request of that origin the host does not answer goes
// nowhere.
#pragma once

#include <cstddef>

constexpr char PAGE_ORIGIN[] = "https://corvane-setup.invalid/";
constexpr char PAGE_ORIGIN_FILTER[] = "https://corvane-setup.invalid/*";

// Room for a page's address: the origin and a 64-character page name.
constexpr size_t PAGE_ADDRESS_MAX = 128;

// PAGE_ORIGIN followed by the page (null or empty: "index.html"); 0, or -1 (out emptied) when
// it does not fit or the page is no plain bundle name.
int page_address_of(const char* page, char* out, size_t size);

// The bundle entry an address names: "assets/icon.svg" for PAGE_ORIGIN "assets/icon.svg?v=1#x".
// Scheme and host are compared without regard to case; query and fragment are left out. False
// (name emptied) for any other origin, a port or user part, an empty path, an escape, a
// backslash, an empty or dot segment, or a character a bundle name never has; a name that
// does not fit is refused whole.
bool page_address_entry(const char* address, char* name, size_t size);

// The message's source is the page the host navigated to (the same entry).
bool page_address_same_page(const char* source, const char* page_url);

// The navigation's target is one of the pages' own addresses.
bool page_address_is_own(const char* target);

// The Content-Type the host serves an entry with, by its extension (unknown ones as bytes).
const char* page_content_type(const char* name);
