#include "acquire/zip_extract_rules.h"

#include <cstring>

#include "acquire/rate_collapse.h"  // download_percent: the same percent of bytes
#include "base/bounded_text.h"

namespace {

// Windows drops trailing dots and spaces from path components, so ". ." or "..." may reach
// the file system as ".."; a legitimate archive never names a component like that.
bool reads_as_parent(const char* begin, const char* end) {
  int dots = 0;
  for (const char* p = begin; p < end; ++p) {
    if (*p == '.') ++dots;
    else if (*p != ' ') return false;
  }
  return dots >= 2;
}

// Windows drops a component's trailing dots and spaces ("setup.msi." is "setup.msi"), so such
// a name would write another file than the archive names. A lone "." stays: it names the folder
// it is in.
bool loses_its_end(const char* begin, const char* end) {
  if (end == begin || (end - begin == 1 && *begin == '.')) return false;
  return end[-1] == '.' || end[-1] == ' ';
}

bool is_device_base(const char* base, size_t length) {
  static const char* const DEVICES[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  char lowered[16];
  if (length == 0 || length >= sizeof lowered) return false;
  for (size_t i = 0; i < length; ++i) lowered[i] = ascii_lower(base[i]);
  lowered[length] = '\0';
  for (const char* device : DEVICES)
    if (strcmp(lowered, device) == 0) return true;
  if (strncmp(lowered, "com", 3) != 0 && strncmp(lowered, "lpt", 3) != 0) return false;
  const char* number = lowered + 3;
  // COM0-COM9, LPT0-LPT9, and the superscript one, two and three Windows also takes as digits.
  if (length == 4) return *number >= '0' && *number <= '9';
  return length == 5 && static_cast<unsigned char>(number[0]) == 0xC2 &&
         (static_cast<unsigned char>(number[1]) == 0xB9 || static_cast<unsigned char>(number[1]) == 0xB2 ||
          static_cast<unsigned char>(number[1]) == 0xB3);
}

// A device name, with any extension and any spaces before it ("CON .txt"), opens the device.
bool names_a_device(const char* begin, const char* end) {
  const char* base_end = static_cast<const char*>(memchr(begin, '.', static_cast<size_t>(end - begin)));
  if (!base_end) base_end = end;
  while (base_end > begin && base_end[-1] == ' ') --base_end;
  return is_device_base(begin, static_cast<size_t>(base_end - begin));
}

// Whether a path below the destination would write anything but the file it names there.
bool unsafe_path(const char* path) {
  if (strchr(path, ':')) return true;
  const char* begin = path;
  for (;;) {
    const char* end = strchr(begin, '\\');
    if (!end) end = begin + strlen(begin);
    if (reads_as_parent(begin, end) || loses_its_end(begin, end) || names_a_device(begin, end)) return true;
    if (*end == '\0') return false;
    begin = end + 1;
  }
}

}  // namespace

int zip_entry_path(const char* name, char* out, size_t size) {
  if (!out || size == 0) return ZIP_ENTRY_REFUSED;
  out[0] = '\0';
  if (!name) name = "";
  size_t length = strlen(name);
  bool folder = length > 0 && (name[length - 1] == '/' || name[length - 1] == '\\');
  const char* rest = name;
  if (length >= 3 && name[1] == ':' && (name[2] == '\\' || name[2] == '/')) rest += 3;
  while (*rest == '\\' || *rest == '/') ++rest;
  if (!text_copy(out, size, rest)) {
    out[0] = '\0';
    return ZIP_ENTRY_REFUSED;
  }
  for (char* p = out; *p; ++p) {
    if (*p == '/') *p = '\\';
  }
  if (unsafe_path(out)) {
    out[0] = '\0';
    return ZIP_ENTRY_REFUSED;
  }
  return folder ? ZIP_ENTRY_FOLDER : ZIP_ENTRY_FILE;
}

const char* zip_survey_add(zip_survey* survey, uint64_t uncompressed_size) {
  if (survey->entries >= ZIP_MAX_ENTRIES) return "more entries than 4096";
  if (uncompressed_size > ZIP_MAX_TOTAL_BYTES - survey->total_bytes) return "unpacks to more than 1 GiB";
  ++survey->entries;
  survey->total_bytes += uncompressed_size;
  return nullptr;
}

const char* zip_archive_refusal(uint64_t entries, uint64_t total_bytes, int free_known, uint64_t free_bytes) {
  if (entries > ZIP_MAX_ENTRIES) return "more entries than 4096";
  if (total_bytes > ZIP_MAX_TOTAL_BYTES) return "unpacks to more than 1 GiB";
  if (free_known && total_bytes > free_bytes) return "unpacks to more than the target volume's free space";
  return nullptr;
}

size_t directory_root_length(const char* path) {
  if (!path || !path[0]) return 0;
  if (path[1] == ':') return path[2] == '\\' ? 3 : 2;
  if (path[0] != '\\') return 0;
  if (path[1] != '\\') return 1;
  // UNC: "\\server\share\" — both components belong to the root.
  const char* server_end = strchr(path + 2, '\\');
  if (!server_end) return strlen(path);
  const char* share_end = strchr(server_end + 1, '\\');
  return share_end ? static_cast<size_t>(share_end - path) + 1 : strlen(path);
}

bool zip_entry_wanted(int kind, const char* relative, const char* wanted) {
  if (!wanted) return kind != ZIP_ENTRY_REFUSED;
  return kind == ZIP_ENTRY_FILE && !strchr(relative, '\\') && text_equal_nocase(relative, wanted);
}

int zip_progress_percent(uint64_t written, uint64_t total) {
  int percent = download_percent(written, total);
  return percent < 0 ? 0 : percent;
}

void zip_entry_name_for_log(const char* name, char* out, size_t size) {
  if (!out || size == 0) return;
  text_copy(out, size, name);
  for (char* p = out; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c > 0x7E) *p = '?';
  }
}

bool zip_is_empty_archive(const unsigned char* head, size_t head_size, uint64_t file_size) {
  constexpr size_t RECORD = 22;
  if (!head || head_size < RECORD) return false;
  auto u16 = [head](size_t at) { return static_cast<uint32_t>(head[at] | head[at + 1] << 8); };
  auto u32 = [&u16](size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (u32(0) != 0x06054b50u) return false;
  bool no_entries = u16(8) == 0 && u16(10) == 0 && u32(12) == 0 && u32(16) == 0;
  return no_entries && file_size == RECORD + u16(20);
}
