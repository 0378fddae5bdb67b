# The data resources of the setup program and its build variants.
#   101  WebView2Loader.dll as an LZMA-alone stream (tools/lzma_pack, run on the build machine)
#   102  the page bundle as a ZIP (scripts/build_ui_bundle.sh, from pages/; the archive's root holds the pages themselves)
#
# Variants. They link the same libraries; only the resource script differs, in what it
# embeds as resource 101. All embed 102.
#   win32 preset
#     CorvaneSetup            build/win32/CorvaneSetup.exe: the product. 101 is the x86 loader
#                             named by CORVANE_WEBVIEW2_LOADER (release builds); without one, a
#                             configure warning and no 101 (such a build shows no WebView2 screen).
#     CorvaneSetupTestDouble  build/win32/test-double/CorvaneSetup.exe: the product with the i686
#                             WebView2 test double as 101, for the 32-bit scenarios of the screens.
#   win64 preset
#     CorvaneSetup            build/win64/CorvaneSetup.exe: the x86-64 twin the scenarios run,
#                             with the x86-64 test double as 101.
#     CorvaneSetupNoLoader    build/win64/no-loader/CorvaneSetup.exe: the twin without 101, for
#                             the paths where WebView2 cannot be used.
set(RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)

# The packer is a host program: built with the build machine's compiler, whatever the preset.
find_program(CORVANE_HOST_CC NAMES cc gcc REQUIRED)
set(LZMA_PACK ${CMAKE_BINARY_DIR}/tools/lzma_pack)
add_custom_command(
  OUTPUT ${LZMA_PACK}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${CORVANE_HOST_CC} -O2 -w -D${LZMA_SDK_DEFINE} -I${LZMA_SDK_DIR} ${LZMA_PACK_SOURCES}
          ${LZMA_PACK_DIR}/main.c -o ${LZMA_PACK}
  DEPENDS ${LZMA_PACK_SOURCES} ${LZMA_PACK_DIR}/main.c ${LZMA_PACK_DIR}/lzma_alone.h
  COMMENT "Host tool lzma_pack")

# Packs a loader DLL into ${RESOURCE_DIR}/<name>.lzma; extra arguments are what it depends on.
function(corvane_pack_loader name dll)
  add_custom_command(
    OUTPUT ${RESOURCE_DIR}/${name}.lzma
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RESOURCE_DIR}
    COMMAND ${LZMA_PACK} ${dll} ${RESOURCE_DIR}/${name}.lzma
    DEPENDS ${LZMA_PACK} ${ARGN}
    COMMENT "Resource 101 from ${name}")
endfunction()

# Refuses a release loader that is not a 32-bit x86 DLL: the product could never load it.
function(corvane_check_x86_dll dll)
  if(NOT EXISTS ${dll})
    message(FATAL_ERROR "CORVANE_WEBVIEW2_LOADER: no such file: ${dll}")
  endif()
  file(READ ${dll} pe_offset OFFSET 60 LIMIT 4 HEX)
  string(SUBSTRING ${pe_offset} 0 2 b0)
  string(SUBSTRING ${pe_offset} 2 2 b1)
  math(EXPR header_offset "0x${b1}${b0}")
  file(READ ${dll} signature OFFSET ${header_offset} LIMIT 6 HEX)
  if(NOT signature STREQUAL "504500004c01")  # "PE\0\0", machine 0x014c (i386)
    message(FATAL_ERROR "CORVANE_WEBVIEW2_LOADER is not a 32-bit x86 DLL: ${dll}")
  endif()
endfunction()

corvane_pack_loader(webview2_fake $<TARGET_FILE:webview2_fake> webview2_fake)
set(FAKE_LOADER_LZMA ${RESOURCE_DIR}/webview2_fake.lzma)
set(RELEASE_LOADER_LZMA "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  if(CORVANE_WEBVIEW2_LOADER)
    corvane_check_x86_dll(${CORVANE_WEBVIEW2_LOADER})
    corvane_pack_loader(webview2_loader ${CORVANE_WEBVIEW2_LOADER} ${CORVANE_WEBVIEW2_LOADER})
    set(RELEASE_LOADER_LZMA ${RESOURCE_DIR}/webview2_loader.lzma)
  else()
    message(WARNING "CORVANE_WEBVIEW2_LOADER is not set: CorvaneSetup.exe embeds no WebView2 loader "
                    "(resource 101) and cannot show its WebView2 screens. Release builds pass the x86 "
                    "WebView2Loader.dll of the WebView2 SDK.")
  endif()
elseif(CORVANE_WEBVIEW2_LOADER)
  message(STATUS "CORVANE_WEBVIEW2_LOADER is for the 32-bit product; the x86-64 twin embeds the test double")
endif()

# The page bundle, rebuilt when a page source or the fonts' lock changes.
set(UI_BUNDLE_DIR ${CMAKE_BINARY_DIR}/ui-bundle)
set(UI_BUNDLE_ZIP ${UI_BUNDLE_DIR}/ui_bundle.zip)
file(GLOB_RECURSE UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/pages/*)
add_custom_command(
  OUTPUT ${UI_BUNDLE_ZIP}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build_ui_bundle.sh ${UI_BUNDLE_DIR}
  DEPENDS ${UI_SOURCES} ${CMAKE_SOURCE_DIR}/scripts/build_ui_bundle.sh ${CMAKE_SOURCE_DIR}/package-lock.json
  COMMENT "Resource 102: the page bundle")

# One variant: the program with its own resource script; loader_lzma may be empty (no 101).
string(REPLACE "." "," CORVANE_VERSION_COMMAS ${CORVANE_VERSION})
set(CORVANE_RES_DIR ${CMAKE_SOURCE_DIR}/res)
function(corvane_setup_variant target output_dir loader_lzma)
  if(loader_lzma)
    set(CORVANE_RC_LOADER "101 RCDATA \"${loader_lzma}\"")
  else()
    set(CORVANE_RC_LOADER "// no resource 101 in this variant")
  endif()
  set(CORVANE_RC_UI_BUNDLE ${UI_BUNDLE_ZIP})
  set(rc ${GENERATED_DIR}/${target}.rc)
  configure_file(${CORVANE_RES_DIR}/corvane.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${CORVANE_ICON};${CORVANE_RES_DIR}/corvane.manifest;${UI_BUNDLE_ZIP};${loader_lzma}")
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win.cpp ${rc})
  # Only its own resources: building the product alone never builds the test double.
  add_custom_target(${target}_resources DEPENDS ${CORVANE_ICON} ${UI_BUNDLE_ZIP} ${loader_lzma})
  add_dependencies(${target} ${target}_resources)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME CorvaneSetup RUNTIME_OUTPUT_DIRECTORY ${output_dir})
  target_link_libraries(${target} PRIVATE corvane_win)
  target_link_options(${target} PRIVATE ${CORVANE_STATIC_LINK} -Wl,--gc-sections -s)
  target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  corvane_set_pe_checksum(${target})
endfunction()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  corvane_setup_variant(CorvaneSetup ${CMAKE_BINARY_DIR} "${RELEASE_LOADER_LZMA}")
  corvane_setup_variant(CorvaneSetupTestDouble ${CMAKE_BINARY_DIR}/test-double ${FAKE_LOADER_LZMA})
else()
  corvane_setup_variant(CorvaneSetup ${CMAKE_BINARY_DIR} ${FAKE_LOADER_LZMA})
  corvane_setup_variant(CorvaneSetupNoLoader ${CMAKE_BINARY_DIR}/no-loader "")
endif()
