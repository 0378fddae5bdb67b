// Builds ZIP archives byte by byte for the extraction tests, so each test states exactly
// which names, methods and damage its archive has (stored or raw-deflated entries, one
// central directory; a ZIP64 size record only for an entry that declares a size of its own).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct zip_test_entry {
  std::string name;
  std::string data;
  bool deflate = false;
  // The uncompressed size the headers state when it is not the data's (a lie); from 2^32-1 on
  // it goes in a ZIP64 extra field, as a ZIP64 writer records it.
  bool declares = false;
  uint64_t declared = 0;
  uint64_t stated_size() const { return declares ? declared : data.size(); }
  bool zip64() const { return stated_size() >= 0xFFFFFFFFull; }
};

inline void zip_put64(std::string& out, uint64_t v);

inline void zip_put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

inline void zip_put32(std::string& out, uint32_t v) {
  zip_put16(out, v & 0xFFFF);
  zip_put16(out, v >> 16);
}

inline std::string zip_raw_deflate(const std::string& data) {
  z_stream s = {};
  deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, data.size()), '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

// The fields shared by a local header and its central directory record, from "version needed" on.
inline void zip_put_common(std::string& out, const zip_test_entry& e, uint32_t crc, size_t packed) {
  zip_put16(out, 20);
  zip_put16(out, 0);
  zip_put16(out, e.deflate ? 8 : 0);
  zip_put16(out, 0);     // time
  zip_put16(out, 0x21);  // 1980-01-01
  zip_put32(out, crc);
  zip_put32(out, static_cast<uint32_t>(packed));
  zip_put32(out, e.zip64() ? 0xFFFFFFFFu : static_cast<uint32_t>(e.stated_size()));
  zip_put16(out, static_cast<uint32_t>(e.name.size()));
  zip_put16(out, e.zip64() ? 12 : 0);
}

inline void zip_put64(std::string& out, uint64_t v) {
  zip_put32(out, static_cast<uint32_t>(v));
  zip_put32(out, static_cast<uint32_t>(v >> 32));
}

// The name and, for a ZIP64 size, its extra field (tag 1: the uncompressed size alone).
inline void zip_put_name(std::string& out, const zip_test_entry& e) {
  out += e.name;
  if (!e.zip64()) return;
  zip_put16(out, 1);
  zip_put16(out, 8);
  zip_put64(out, e.stated_size());
}

// crc_xor damages every entry's recorded CRC (0 leaves it right).
inline std::string zip_build(const std::vector<zip_test_entry>& entries, uint32_t crc_xor = 0) {
  std::string body, directory;
  for (const auto& e : entries) {
    uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()))) ^ crc_xor;
    std::string packed = e.deflate ? zip_raw_deflate(e.data) : e.data;
    uint32_t offset = static_cast<uint32_t>(body.size());
    zip_put32(body, 0x04034b50);
    zip_put_common(body, e, crc, packed.size());
    zip_put_name(body, e);
    body += packed;
    zip_put32(directory, 0x02014b50);
    zip_put16(directory, 20);
    zip_put_common(directory, e, crc, packed.size());
    for (int i = 0; i < 3; ++i) zip_put16(directory, 0);  // comment, disk, internal attributes
    zip_put32(directory, 0);                               // external attributes
    zip_put32(directory, offset);
    zip_put_name(directory, e);
  }
  std::string out = body + directory;
  zip_put32(out, 0x06054b50);
  zip_put16(out, 0);
  zip_put16(out, 0);
  zip_put16(out, static_cast<uint32_t>(entries.size()));
  zip_put16(out, static_cast<uint32_t>(entries.size()));
  zip_put32(out, static_cast<uint32_t>(directory.size()));
  zip_put32(out, static_cast<uint32_t>(body.size()));
  zip_put16(out, 0);
  return out;
}
