#pragma once

#include <cstddef>

// Today's local date as eight digits, YYYYMMDD.
void local_date_stamp(char* out, size_t size);
