// The resource packer against the decoder the program uses: what it packs unpacks to the same
// bytes in one LzmaDecode call, with the real size in the header, and inputs the program
// could never unpack are refused at build time.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "LzmaDec.h"
#include "lzma_pack/lzma_alone.h"

namespace {

void* sz_alloc(void*, size_t size) { return malloc(size); }
void sz_free(void*, void* address) { free(address); }
ISzAlloc g_alloc = {sz_alloc, sz_free};

std::vector<unsigned char> pack(const std::vector<unsigned char>& data) {
  unsigned char* stream = nullptr;
  size_t size = 0;
  EXPECT_EQ(lzma_alone_pack(data.data(), data.size(), &stream, &size), LZMA_ALONE_OK);
  std::vector<unsigned char> out(stream, stream + size);
  free(stream);
  return out;
}

std::vector<unsigned char> sample(size_t size, bool compressible) {
  std::vector<unsigned char> data(size);
  uint32_t state = 12345;
  for (size_t i = 0; i < size; i++) {
    state = state * 1103515245u + 12345u;
    data[i] = compressible ? static_cast<unsigned char>("MZ corvane loader "[i % 18] + (i / 4096) % 3)
                           : static_cast<unsigned char>(state >> 24);
  }
  return data;
}

TEST(LzmaPack, RoundTripsThroughTheOneCallDecoderWithTheRealSizeInTheHeader) {
  for (const auto& data : {sample(1, true), sample(150 * 1024, true), sample(64 * 1024, false)}) {
    std::vector<unsigned char> stream = pack(data);
    ASSERT_GT(stream.size(), size_t{LZMA_ALONE_HEADER_SIZE});
    uint64_t declared = 0;
    for (int i = 7; i >= 0; i--) declared = (declared << 8) | stream[5 + i];
    EXPECT_EQ(declared, data.size());
    EXPECT_EQ(stream[0], 0x5D) << "lc=3 lp=0 pb=2";

    std::vector<unsigned char> decoded(data.size() + 1);
    SizeT decoded_size = data.size();
    SizeT source_size = stream.size() - LZMA_ALONE_HEADER_SIZE;
    ELzmaStatus status;
    ASSERT_EQ(LzmaDecode(decoded.data(), &decoded_size, stream.data() + LZMA_ALONE_HEADER_SIZE, &source_size,
                         stream.data(), LZMA_PROPS_SIZE, LZMA_FINISH_END, &status, &g_alloc),
              SZ_OK);
    EXPECT_NE(status, LZMA_STATUS_NEEDS_MORE_INPUT);
    EXPECT_EQ(source_size, stream.size() - LZMA_ALONE_HEADER_SIZE) << "the whole stream is used";
    decoded.resize(decoded_size);
    EXPECT_EQ(decoded, data);
  }
}

TEST(LzmaPack, RefusesWhatTheProgramCouldNotUnpack) {
  unsigned char* stream = reinterpret_cast<unsigned char*>(1);
  size_t size = 1;
  unsigned char byte = 0;
  EXPECT_EQ(lzma_alone_pack(&byte, 0, &stream, &size), LZMA_ALONE_EMPTY);
  EXPECT_EQ(stream, nullptr);
  // The size check comes before any byte is read.
  EXPECT_EQ(lzma_alone_pack(&byte, LZMA_ALONE_MAX_SIZE + 1, &stream, &size), LZMA_ALONE_TOO_LARGE);
  EXPECT_EQ(size, 0u);
}

}  // namespace
