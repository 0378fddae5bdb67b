# The page commands' Windows tests. The host window is the host's own subject: here a small
# stand-in of its close guard and confirmation (tests/win/ui/commands/host_stand_in.cpp) is
# linked directly, so the commands run against it without a window, in an executable of their
# own. They share the Windows-layer tests' prefix and take turns with them; the executable
# copied as Corvane.exe plays the installed app (tests/support/fake_app.h).
file(GLOB UI_COMMAND_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/ui/commands/*.cpp)
add_executable(ui_command_win_tests ${UI_COMMAND_WIN_TEST_SOURCES})
target_link_libraries(ui_command_win_tests PRIVATE win_test_support GTest::gtest_main)
target_link_options(ui_command_win_tests PRIVATE ${CORVANE_STATIC_LINK})
gtest_discover_tests(ui_command_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  PROPERTIES RESOURCE_LOCK corvane_wintests_prefix)
