# cmake -DPINS=<list> -P pin_list_check.cmake: the publisher pin list as configure reads it.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/pin_list.cmake)
corvane_pin_list("${PINS}" pins)
message("pins: ${pins}")
