# The LZMA SDK as Debian's lzma-dev ships it: its C sources lie beside its headers. Always
# built single-threaded (_7ZIP_ST); the SDK's own warnings are not ours to fix.
set(LZMA_SDK_DIR /usr/include/lzma)
set(LZMA_SDK_DEFINE _7ZIP_ST)
set_source_files_properties(${LZMA_SDK_DIR}/LzmaEnc.c ${LZMA_SDK_DIR}/LzFind.c ${LZMA_SDK_DIR}/LzmaDec.c
                            PROPERTIES COMPILE_OPTIONS -w)
# The packer of resource 101 (tools/lzma_pack): our framing over the SDK's encoder.
set(LZMA_PACK_DIR ${CMAKE_SOURCE_DIR}/tools/lzma_pack)
set(LZMA_PACK_SOURCES ${LZMA_PACK_DIR}/lzma_alone.c ${LZMA_SDK_DIR}/LzmaEnc.c ${LZMA_SDK_DIR}/LzFind.c)
