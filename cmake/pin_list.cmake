# corvane_pin_list(<input> <out_var>): the publisher pins of CORVANE_PUBLISHER_KEY_SHA256 as a
# list of lowercase hex texts, or a configure error naming the first entry that is not exactly
# 64 hexadecimal digits. Entries are separated by ";" (a key rotation has several).
# CMake regexes know no {n} repetition, so the length is checked on its own.
function(corvane_pin_list input out_var)
  set(pins "")
  foreach(pin IN LISTS input)
    string(STRIP "${pin}" pin)
    if(pin STREQUAL "")
      continue()
    endif()
    string(LENGTH "${pin}" length)
    if(NOT pin MATCHES "^[0-9a-fA-F]+$" OR NOT length EQUAL 64)
      message(FATAL_ERROR "CORVANE_PUBLISHER_KEY_SHA256: \"${pin}\" is not 64 hexadecimal digits (${length} "
                          "characters). Each entry is the SHA-256 of a publisher's SubjectPublicKeyInfo; "
                          "separate several with ;")
    endif()
    string(TOLOWER "${pin}" pin)
    list(APPEND pins ${pin})
  endforeach()
  set(${out_var} "${pins}" PARENT_SCOPE)
endfunction()
