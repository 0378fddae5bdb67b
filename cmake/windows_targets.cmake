# CorvaneSetup.exe, the Windows layer's tests under Wine, and the end-to-end scenarios.
# KnownDLLs are imported; every other system DLL is delay-loaded from the system folder.
include(${CMAKE_CURRENT_LIST_DIR}/delay_imports.cmake)
# msi.dll (and the ten DLLs it brings) serves only the downloaded package's checks.
corvane_delay_imports(CORVANE_DELAY_LIBS winhttp bcrypt wtsapi32 userenv version crypt32 wintrust AT_FIRST_USE msi)
set(CORVANE_WIN_LIBS ole32 oleaut32 uuid shell32 user32 gdi32 advapi32 shlwapi ntdll ${CORVANE_DELAY_LIBS})

file(GLOB WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*_win.cpp ${CMAKE_SOURCE_DIR}/src/*/*/*_win.cpp)
list(FILTER WIN_SOURCES EXCLUDE REGEX "winmain_win\\.cpp$")
add_library(corvane_win STATIC ${WIN_SOURCES})
target_link_libraries(corvane_win PUBLIC corvane_core ${CORVANE_WIN_LIBS})
# Calls into the delay-loaded DLLs go through their stubs, not their __imp_ slots (see
# cmake/delay_imports.cmake): crypt32's and userenv's headers declare without dllimport.
target_compile_definitions(corvane_win PUBLIC WINIMPM= _USERENV_)
target_compile_options(corvane_win PRIVATE -Wall -Wextra)
# minizip (zlib's unzip API, from zlib's sources fetched by scripts/setup.sh) reads the ZIPs.
set(MINIZIP_DIR /opt/corvane-deps/minizip)
target_sources(corvane_win PRIVATE ${MINIZIP_DIR}/unzip.c ${MINIZIP_DIR}/ioapi.c)
set_source_files_properties(${MINIZIP_DIR}/unzip.c ${MINIZIP_DIR}/ioapi.c PROPERTIES COMPILE_OPTIONS -w)
target_include_directories(corvane_win PRIVATE ${MINIZIP_DIR})
target_link_libraries(corvane_win PUBLIC z)
set(CORVANE_STATIC_LINK -static -static-libgcc -static-libstdc++)

# Icon 103, drawn for the project as SVG and rasterised at build time.
set(CORVANE_ICON ${CMAKE_BINARY_DIR}/corvane.ico)
add_custom_command(
  OUTPUT ${CORVANE_ICON}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/make_icon.sh ${CMAKE_SOURCE_DIR}/res/corvane_icon.svg ${CORVANE_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/res/corvane_icon.svg ${CMAKE_SOURCE_DIR}/tools/make_icon.sh)

# Resources 101 and 102, and the build variants that differ in them.
add_subdirectory(tests/fixtures/webview2_fake)
include(${CMAKE_CURRENT_LIST_DIR}/embedded_resources.cmake)
# Every build variant's import table names only KnownDLLs.
foreach(variant CorvaneSetup CorvaneSetupTestDouble CorvaneSetupNoLoader)
  if(TARGET ${variant})
    add_test(NAME pe.import_table.${variant}
             COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/pe/import_table.py $<TARGET_FILE:${variant}>)
  endif()
endforeach()
# The download server's tag stamper, on this preset's build of the program.
add_test(NAME tools.stamp_tag COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/stamp_tag_test.py $<TARGET_FILE:CorvaneSetup>)

# The product is 32-bit; the Windows-layer tests run on the x86-64 twin, which Wine runs
# natively here (see docs/design.md on 32-bit code under Wine).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # One test-support library for both test executables (tests/support: files, scratch
  # folders, the captured log, the vendor stand-in's records, the recording page).
  add_library(win_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/win_support.cpp)
  target_include_directories(win_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(win_test_support PUBLIC corvane_win GTest::gtest)
  # The tests under tests/win/<folder>/ follow src/<folder>/. Those that need the product's
  # footprint to themselves or this executable's stand-in app and services are the
  # uninstall engine's executable (cmake/uninstall_win_tests.cmake).
  include(GoogleTest)
  include(${CMAKE_SOURCE_DIR}/cmake/uninstall_win_tests.cmake)
  include(${CMAKE_SOURCE_DIR}/cmake/ui_command_win_tests.cmake)
  include(${CMAKE_SOURCE_DIR}/cmake/consent_win_tests.cmake)
  file(GLOB_RECURSE WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
  list(REMOVE_ITEM WIN_TEST_SOURCES ${UNINSTALL_WIN_TEST_SOURCES} ${UI_COMMAND_WIN_TEST_SOURCES}
              ${CONSENT_WIN_TEST_SOURCES})
  add_executable(win_tests ${WIN_TEST_SOURCES})
  target_link_libraries(win_tests PRIVATE win_test_support GTest::gtest_main)
  target_link_options(win_tests PRIVATE ${CORVANE_STATIC_LINK})
  add_dependencies(win_tests webview2_fake)  # loaded by the double's own tests
  # The Vendor* suites need the vendor stand-in and run under it as win.vendor.* instead.
  # All of them share one prefix whose registry, temp folder and Program Files they change,
  # so they take turns; the scenarios, each in a prefix of its own, fill the other slots.
  gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_FILTER "-Vendor*"
    PROPERTIES RESOURCE_LOCK corvane_wintests_prefix)
endif()

add_subdirectory(tests/harness/win)
add_subdirectory(tests/scenarios)
add_subdirectory(tests/fixtures/product)
# The release configuration, built and signed as the vendor does (the 32-bit product only).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  include(${CMAKE_CURRENT_LIST_DIR}/release_tests.cmake)
endif()
