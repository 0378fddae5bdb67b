#include "install/msi_busy.h"

uint32_t msi_busy_wait_ms(int retries_done, uint32_t waited_ms) {
  if (waited_ms >= MSI_BUSY_WAIT_LIMIT_MS) return 0;
  uint32_t wait = retries_done >= 0 && retries_done < 4 ? 5000u << retries_done : 60000u;
  uint32_t left = MSI_BUSY_WAIT_LIMIT_MS - waited_ms;
  return wait < left ? wait : left;
}
