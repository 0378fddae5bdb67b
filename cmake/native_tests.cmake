# Unit tests of the pure core, on the host.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB_RECURSE UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE corvane_core GTest::gtest_main)
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

# The layer rule of src/ (its table is in src/README.md), and the check's own cases.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME layers.src_follows_its_table COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_layers.py
         ${CMAKE_SOURCE_DIR}/src)
add_test(NAME layers.check_rejects_broken_tables_and_includes COMMAND ${Python3_EXECUTABLE}
         ${CMAKE_SOURCE_DIR}/tools/check_layers_test.py)
# The release's publisher pin list, read as configure reads it.
add_test(NAME release.publisher_pin_list COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/release/pin_list_test.py)

# The resource packer's framing, tested here against the SDK's decoder (which corvane_core
# carries for resource 101) and used to make the decoder's fixtures.
add_library(lzma_pack_for_tests STATIC ${LZMA_PACK_SOURCES})
target_compile_definitions(lzma_pack_for_tests PUBLIC ${LZMA_SDK_DEFINE})
target_include_directories(lzma_pack_for_tests PUBLIC ${LZMA_SDK_DIR} ${CMAKE_SOURCE_DIR}/tools)
target_compile_options(lzma_pack_for_tests PRIVATE -Wall -Wextra)
if(CORVANE_SANITIZE)
  target_compile_options(lzma_pack_for_tests PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
endif()
target_link_libraries(unit_tests PRIVATE lzma_pack_for_tests)

# The page <-> host contract for the page tests (tests/pages), written by the host's own
# formatters whenever they change.
add_executable(page_contract_export ${CMAKE_SOURCE_DIR}/tools/page_contract_export.cpp)
target_link_libraries(page_contract_export PRIVATE corvane_core)
target_compile_options(page_contract_export PRIVATE -Wall -Wextra)
set(PAGE_CONTRACT_DIR ${CMAKE_SOURCE_DIR}/build/page-contract)
add_custom_command(TARGET page_contract_export POST_BUILD COMMAND ${CMAKE_COMMAND} -E make_directory ${PAGE_CONTRACT_DIR}
                   COMMAND page_contract_export ${PAGE_CONTRACT_DIR})
