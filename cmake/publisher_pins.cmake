# The publishers whose packages the program hands to msiexec: the SHA-256 of each publisher
# certificate's SubjectPublicKeyInfo, 64 hex digits, compiled into build_config.h as
# PUBLISHER_KEY_SHA256 ("hex;hex"; several for a key rotation). The signer of a downloaded
# package must be one of them, after Windows has verified the signature.
#
#   CORVANE_PUBLISHER_KEY_SHA256  the release's list (a release input; README.md)
#   CORVANE_TEST_SIGNER           ON (default): pin instead a test signer whose key pair is made
#                                 here, in <build>/test-signer/, never committed; the scenario
#                                 harness issues its certificate under each run's test root and
#                                 signs the test product with it. Release builds pass OFF.
# With neither, the list is empty and every package is refused.
set(CORVANE_PUBLISHER_KEY_SHA256 "" CACHE STRING
    "SHA-256 (hex) of each trusted publisher's SubjectPublicKeyInfo, ;-separated (release builds)")
option(CORVANE_TEST_SIGNER "Pin a test signer generated into the build folder (test and demo builds)" ON)

include(${CMAKE_CURRENT_LIST_DIR}/pin_list.cmake)
corvane_pin_list("${CORVANE_PUBLISHER_KEY_SHA256}" CORVANE_PUBLISHER_PINS)

if(CORVANE_TEST_SIGNER AND CORVANE_PUBLISHER_PINS)
  message(FATAL_ERROR "CORVANE_PUBLISHER_KEY_SHA256 is a release's list: a build that has one must not also "
                      "trust the test signer. Pass -DCORVANE_TEST_SIGNER=OFF with it.")
endif()

if(CORVANE_TEST_SIGNER AND WIN32)
  set(CORVANE_TEST_SIGNER_DIR ${CMAKE_BINARY_DIR}/test-signer)
  set(key ${CORVANE_TEST_SIGNER_DIR}/publisher.key)
  file(MAKE_DIRECTORY ${CORVANE_TEST_SIGNER_DIR})
  if(NOT EXISTS ${key})
    execute_process(COMMAND openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out ${key}
                    OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND openssl pkey -in ${key} -pubout -outform DER -out ${CORVANE_TEST_SIGNER_DIR}/publisher.spki
                  COMMAND_ERROR_IS_FATAL ANY)
  file(SHA256 ${CORVANE_TEST_SIGNER_DIR}/publisher.spki pin)
  list(APPEND CORVANE_PUBLISHER_PINS ${pin})
  set(note "this build installs only packages signed by the test signer in ${CORVANE_TEST_SIGNER_DIR} "
           "(release builds pass -DCORVANE_TEST_SIGNER=OFF and CORVANE_PUBLISHER_KEY_SHA256)")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    message(WARNING "CorvaneSetup.exe: " ${note})
  else()
    message(STATUS "Test twin: " ${note})
  endif()
elseif(WIN32 AND NOT CORVANE_PUBLISHER_PINS)
  message(WARNING "No publisher is pinned (CORVANE_PUBLISHER_KEY_SHA256 is empty): this build refuses every package.")
endif()
