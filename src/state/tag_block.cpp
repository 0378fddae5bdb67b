#include "state/tag_block.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/json_field.h"

namespace {

constexpr char START_MARKER[] = "<##TAGDATA##>";
constexpr char END_MARKER[] = "</##TAGDATA##>";
constexpr size_t START_LEN = sizeof START_MARKER - 1;
constexpr size_t END_LEN = sizeof END_MARKER - 1;
constexpr uint16_t MAGIC_PE32 = 0x10B;
constexpr uint16_t MAGIC_PE32_PLUS = 0x20B;
constexpr uint32_t SECURITY_DIRECTORY = 4;

// Reads through this view never leave the file, whatever offsets the file claims.
struct bytes_view {
  const uint8_t* data;
  uint64_t size;
  bool has(uint64_t offset, uint64_t count) const { return offset <= size && count <= size - offset; }
  uint16_t u16(uint64_t at) const { return static_cast<uint16_t>(data[at] | data[at + 1] << 8); }
  uint32_t u32(uint64_t at) const { return u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16; }
};

// Offset of the certificate table's first entry, or 0 when the file has none.
uint64_t certificate_table(const bytes_view& file) {
  if (file.size < 64 || file.data[0] != 'M' || file.data[1] != 'Z') return 0;
  uint64_t pe = file.u32(0x3C);
  if (!file.has(pe, 26) || memcmp(file.data + pe, "PE\0\0", 4) != 0) return 0;
  uint64_t optional = pe + 24;
  uint16_t magic = file.u16(optional);
  if (magic != MAGIC_PE32 && magic != MAGIC_PE32_PLUS) return 0;
  // PE32+ widens the image base and the four stack/heap sizes, moving the directories by 16.
  uint64_t count_at = optional + (magic == MAGIC_PE32 ? 92 : 108);
  uint64_t directories = count_at + 4;
  if (!file.has(count_at, 4) || file.u32(count_at) <= SECURITY_DIRECTORY) return 0;
  uint64_t entry = directories + 8 * SECURITY_DIRECTORY;
  if (!file.has(entry, 8)) return 0;
  uint64_t offset = file.u32(entry), size = file.u32(entry + 4);
  if (offset == 0 || size == 0 || !file.has(offset, size)) return 0;
  return offset;
}

}  // namespace

int tag_block_find(const uint8_t* data, size_t data_size, char* out, size_t out_size) {
  if (!out || out_size == 0) return -1;
  out[0] = '\0';
  if (!data) return -1;
  bytes_view file{data, data_size};
  uint64_t table = certificate_table(file);
  // The signature follows the entry's 8-byte header as a DER SEQUENCE with a two-byte length.
  if (table == 0 || !file.has(table + 8, 4) || data[table + 8] != 0x30 || data[table + 9] != 0x82) return -1;
  uint64_t der_length = static_cast<uint64_t>(data[table + 10]) << 8 | data[table + 11];
  uint64_t start = table + ((der_length + 19) & ~static_cast<uint64_t>(7));
  if (start >= file.size || file.size - start <= 26) return -1;
  if (memcmp(data + start, START_MARKER, START_LEN) != 0) return -1;
  uint64_t text = start + START_LEN;
  for (uint64_t at = text; at + END_LEN <= file.size; ++at) {
    if (data[at] != '<' || memcmp(data + at, END_MARKER, END_LEN) != 0) continue;
    uint64_t length = at - text;
    if (length > out_size - 1) length = out_size - 1;
    memcpy(out, data + text, length);
    out[length] = '\0';
    return static_cast<int>(length);
  }
  return -1;
}

int uninstall_first_preference(const char* decoded_tag) {
  if (!decoded_tag || !*decoded_tag) return -1;
  char value[16];
  if (json_string_field(decoded_tag, "uninstall_first", value, sizeof value) != 0) return -1;
  if (strcmp(value, "1") == 0 || text_equal_nocase(value, "true")) return 1;
  if (strcmp(value, "0") == 0 || text_equal_nocase(value, "false")) return 0;
  return -1;
}
