#include <windows.h>

#include "app/bounded_text.h"
#include "state/local_date.h"

void local_date_stamp(char* out, size_t size) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  text_format(out, size, "%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
}
