# The release as the vendor makes it, through scripts/release.sh (tests/release/release_tree.py):
# a release-style tree of the 32-bit product (test signer off, two publisher keys made for the
# test, the i686 WebView2 test double as the release loader), built once and then
#   - installed under Wine: the first pinned publisher's package installs, the test signer's
#     is refused (a scenario, as the pe32 ones: skipped where the emulator breaks the run);
#   - built again in another folder: the same bytes;
#   - signed with a throw-away CA in each way release.sh takes a key, and verified.
# Only the product target is built in either tree. The trees sit beside this one, as deep in
# the checkout, so that ccache (when present) serves them this preset's objects.
set(RELEASE_TREE_PY ${CMAKE_SOURCE_DIR}/tests/release/release_tree.py)
set(RELEASE_WORK ${CMAKE_BINARY_DIR}-release-style)
add_test(NAME release.build_release_style_tree
         COMMAND ${Python3_EXECUTABLE} ${RELEASE_TREE_PY} build ${RELEASE_WORK} $<TARGET_FILE:webview2_fake>)
add_test(NAME release.same_sources_same_bytes
         COMMAND ${Python3_EXECUTABLE} ${RELEASE_TREE_PY} reproduce ${RELEASE_WORK}
                 ${CMAKE_BINARY_DIR}-release-again)
add_test(NAME release.signed_and_verified COMMAND ${Python3_EXECUTABLE} ${RELEASE_TREE_PY} sign ${RELEASE_WORK})
set(scenario scenario.release_build.first_pinned_publisher_installs_and_test_signer_is_refused)
add_test(NAME ${scenario}
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/scenarios/release/release_build.py
                 first_pinned_publisher_installs_and_test_signer_is_refused)
# The package the release must refuse is signed by this preset's test signer (without one, by
# a key the stand-in makes: another publisher all the same).
set(untrusted_signer "")
if(CORVANE_TEST_SIGNER_DIR)
  set(untrusted_signer "CORVANE_OTHER_SIGNER_KEY=${CORVANE_TEST_SIGNER_DIR}/publisher.key;")
endif()
set_tests_properties(${scenario} PROPERTIES SKIP_RETURN_CODE 77 ENVIRONMENT
  "${untrusted_signer}CORVANE_EXE=${RELEASE_WORK}/out/CorvaneSetup.exe;CORVANE_TEST_SIGNER_DIR=${RELEASE_WORK}/pins;CORVANE_PRODUCT_DIR=${CORVANE_TEST_PRODUCT_DIR};CORVANE_HELPERS=${HARNESS_HELPER_DIR};PYTHONPATH=${CMAKE_SOURCE_DIR}/tests/harness")
set_tests_properties(release.build_release_style_tree PROPERTIES FIXTURES_SETUP corvane_release_tree TIMEOUT 1800)
set_tests_properties(release.same_sources_same_bytes release.signed_and_verified ${scenario} PROPERTIES
  FIXTURES_REQUIRED corvane_release_tree TIMEOUT 1800)
