// The tag block the download server stamps into the signed executable: base64 of a small
// JSON object between "<##TAGDATA##>" and "</##TAGDATA##>", placed right after the
// Authenticode signature at its 8-byte alignment.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t TAG_BUFFER = 8192;

// Pure walk over the file's bytes (PE32 and PE32+): the certificate table, the signature's
// DER length, the marker at the computed position and the end marker after it. Copies at
// most out_size-1 bytes of tag text; returns their count, or -1 with out emptied.
int tag_block_find(const uint8_t* file, size_t file_size, char* out, size_t out_size);

// Windows layer: the same over a file mapped read-only, and over the running executable.
int read_tag_block_file(const wchar_t* path, char* out, size_t out_size);
int read_tag_block(char out[TAG_BUFFER]);

// The own executable's tag, base64-decoded into out (TAG_BUFFER); 0, or -1 when there is no
// tag or it decodes to nothing.
int read_decoded_tag(char out[TAG_BUFFER]);

// The "uninstall_first" preference of decoded tag data: 1 ("1"/"true"), 0 ("0"/"false"), else -1.
int uninstall_first_preference(const char* decoded_tag);

// The own executable's "uninstall_first" preference: 1, 0, or -1 when there is none.
int tag_uninstall_first();
