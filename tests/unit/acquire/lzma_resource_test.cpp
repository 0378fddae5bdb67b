// Decoding resource 101: streams made by the build's own packer come back byte for byte, and
// every malformed stream is refused with the result, decoder codes and message the log shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "LzmaEnc.h"
#include "acquire/lzma_resource.h"
#include "lzma_pack/lzma_alone.h"

namespace {

using bytes = std::vector<unsigned char>;

bytes sample(size_t size) {
  bytes data(size);
  uint32_t state = 7;
  for (size_t i = 0; i < size; i++) {
    state = state * 1103515245u + 12345u;
    data[i] = (i % 7 == 0) ? static_cast<unsigned char>(state >> 24) : static_cast<unsigned char>("MZ loader"[i % 9]);
  }
  return data;
}

bytes pack(const bytes& data) {
  unsigned char* stream = nullptr;
  size_t size = 0;
  EXPECT_EQ(lzma_alone_pack(data.data(), data.size(), &stream, &size), LZMA_ALONE_OK);
  bytes out(stream, stream + size);
  free(stream);
  return out;
}

void set_declared(bytes* stream, uint64_t size) {
  for (int i = 0; i < 8; i++) (*stream)[5 + i] = static_cast<unsigned char>(size >> (8 * i));
}

// A stream that carries an end mark: the only way a decode succeeds short of the declared size.
bytes pack_with_end_mark(const bytes& data) {
  bytes stream(LZMA_RESOURCE_HEADER_SIZE + data.size() * 2 + 64);
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.numThreads = 1;
  SizeT packed = stream.size() - LZMA_RESOURCE_HEADER_SIZE, props_size = LZMA_PROPS_SIZE;
  ISzAlloc alloc = {[](void*, size_t n) { return malloc(n); }, [](void*, void* p) { free(p); }};
  EXPECT_EQ(LzmaEncode(stream.data() + LZMA_RESOURCE_HEADER_SIZE, &packed, data.data(), data.size(), &props,
                       stream.data(), &props_size, 1, nullptr, &alloc, &alloc),
            SZ_OK);
  stream.resize(LZMA_RESOURCE_HEADER_SIZE + packed);
  set_declared(&stream, data.size());
  return stream;
}

struct outcome {
  lzma_resource_result result;
  std::string message;
  bytes data;
};

outcome decode(const bytes& stream) {
  lzma_resource_decoded decoded;
  outcome o;
  o.result = lzma_resource_decode(stream.data(), stream.size(), &decoded);
  char message[LZMA_RESOURCE_MESSAGE_SIZE];
  lzma_resource_message(o.result, decoded, message, sizeof message);
  o.message = message;
  if (o.result == LZMA_RESOURCE_OK) {
    o.data.assign(decoded.data, decoded.data + decoded.size);
  } else {
    EXPECT_EQ(decoded.data, nullptr) << "a refused stream hands out no buffer";
  }
  lzma_resource_free(&decoded);
  return o;
}

TEST(LzmaResource, PackedStreamsDecodeToTheSameBytes) {
  EXPECT_EQ(LZMA_RESOURCE_MAX_SIZE, LZMA_ALONE_MAX_SIZE) << "the packer refuses what the program would";
  for (size_t size : {size_t{1}, size_t{4096}, size_t{130 * 1024}}) {
    bytes data = sample(size);
    outcome o = decode(pack(data));
    EXPECT_EQ(o.result, LZMA_RESOURCE_OK) << size << ": " << o.message;
    EXPECT_EQ(o.data, data);
  }
}

TEST(LzmaResource, MalformedStreamsAreRefusedWithTheirReason) {
  const bytes good = pack(sample(20000));
  auto cut = [&](size_t n) { return bytes(good.begin(), good.begin() + n); };
  auto declared = [&](uint64_t size) {
    bytes s = good;
    set_declared(&s, size);
    return s;
  };
  bytes bad_properties = good;
  bad_properties[0] = 225;  // lc/lp/pb beyond 9*5*5

  struct row {
    const char* what;
    bytes stream;
    lzma_resource_result result;
    const char* message;
  } rows[] = {
      {"empty", {}, LZMA_RESOURCE_TRUNCATED_HEADER, "LZMA blob truncated (header)"},
      {"12 bytes", cut(12), LZMA_RESOURCE_TRUNCATED_HEADER, "LZMA blob truncated (header)"},
      {"one past the limit", declared(LZMA_RESOURCE_MAX_SIZE + 1), LZMA_RESOURCE_TOO_LARGE,
       "LZMA blob declared size too large"},
      {"size unknown (all ones)", declared(UINT64_MAX), LZMA_RESOURCE_TOO_LARGE, "LZMA blob declared size too large"},
      {"header only", cut(13), LZMA_RESOURCE_DECODE_FAILED, "LzmaDecode failed (res=6, status=0)"},
      {"4 bytes of data", cut(17), LZMA_RESOURCE_DECODE_FAILED, "LzmaDecode failed (res=6, status=0)"},
      {"data ends early", cut(good.size() / 2), LZMA_RESOURCE_DECODE_FAILED, "LzmaDecode failed (res=6, status=3)"},
      {"declares more than it holds", declared(20001), LZMA_RESOURCE_DECODE_FAILED,
       "LzmaDecode failed (res=6, status=3)"},
      {"declares less than it holds", declared(19999), LZMA_RESOURCE_DECODE_FAILED,
       "LzmaDecode failed (res=1, status=2)"},
      {"bad properties", bad_properties, LZMA_RESOURCE_DECODE_FAILED, "LzmaDecode failed (res=4, status=0)"},
  };
  for (const row& r : rows) {
    outcome o = decode(r.stream);
    EXPECT_EQ(o.result, r.result) << r.what;
    EXPECT_EQ(o.message, r.message) << r.what;
  }

  bytes marked = pack_with_end_mark(sample(3000));
  ASSERT_EQ(decode(marked).result, LZMA_RESOURCE_OK) << "an end mark at the declared size is fine";
  set_declared(&marked, 3500);
  outcome short_of_declared = decode(marked);
  EXPECT_EQ(short_of_declared.result, LZMA_RESOURCE_SIZE_MISMATCH);
  EXPECT_EQ(short_of_declared.message, "LZMA decoded size mismatch");
}

}  // namespace
