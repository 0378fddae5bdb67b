# The consent screens' Windows tests. Their executable doubles as the elevated copy that the
# hand-offs start (tests/win/consent/elevated_child.h), so it has a main of its own. They share
# the Windows-layer tests' prefix and take turns with them; the tests that need a display (the
# explanation boxes, the native window) skip here and run in the consent_on_display scenario.
file(GLOB CONSENT_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/consent/*.cpp)
add_executable(consent_win_tests ${CONSENT_WIN_TEST_SOURCES})
target_link_libraries(consent_win_tests PRIVATE win_test_support)
target_link_options(consent_win_tests PRIVATE ${CORVANE_STATIC_LINK})
gtest_discover_tests(consent_win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  PROPERTIES RESOURCE_LOCK corvane_wintests_prefix)
