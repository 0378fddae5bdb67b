# The uninstall engine's Windows tests. They change the product's machine-wide footprint
# (registry keys in both views, services, scheduled tasks, folders), so they are an
# executable of their own: run one at a time, in a Wine prefix of their own. The test
# executable doubles as the stand-in app and service that the tests close and stop.
# Closing the product and deleting folders are shared code (product, base), but their tests need this
# executable's stand-in app and services and its folder links.
file(GLOB UNINSTALL_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/uninstall/*.cpp)
list(APPEND UNINSTALL_WIN_TEST_SOURCES ${CMAKE_SOURCE_DIR}/tests/win/product/close_product_test.cpp
     ${CMAKE_SOURCE_DIR}/tests/win/base/delete_tree_test.cpp)
add_executable(uninstall_win_tests ${UNINSTALL_WIN_TEST_SOURCES})
target_include_directories(uninstall_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/win/uninstall)
target_link_libraries(uninstall_win_tests PRIVATE win_test_support)
target_link_options(uninstall_win_tests PRIVATE ${CORVANE_STATIC_LINK})
# The test product's packages, which the tests install and remove.
add_dependencies(uninstall_win_tests test_product)
set_target_properties(uninstall_win_tests PROPERTIES
  CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/win/uninstall/wine_exec.sh)
gtest_discover_tests(uninstall_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  PROPERTIES RESOURCE_LOCK corvane_product_footprint)
