# Same sources, same bytes: two builds of one commit, in any folders, give identical
# executables (before signing), so anyone can check that a shipped file came from a commit.
#   - no build time stamp: the PE TimeDateStamp stays zero;
#   - no absolute source paths: the checkout's folder is cut from every path the compiler
#     records (__FILE__ and the like);
#   - the PE checksum computed from the bytes after linking (the linker leaves it zero);
#   - the resources are packed deterministically (tools/lzma_pack runs one thread; the page
#     bundle's ZIP has fixed times, modes and order: scripts/build_ui_bundle.sh).
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
add_link_options(-Wl,--no-insert-timestamp)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(corvane_set_pe_checksum target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/pe_image.py checksum $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
