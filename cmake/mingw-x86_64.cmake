# The test twin: the same sources built for x86-64, which Wine runs natively on this
# machine (its kernel runs no 32-bit code, so 32-bit Windows code goes through an emulator).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
