// The write-once rule that protects machine identifiers in the product key, against Wine's
// registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/reg_view_win.h"
#include "product/product.h"
#include "product/product_places_win.h"

namespace {

// The product key is shared with the other tests of this executable, so only a value of
// its own is touched.
TEST(RegistryWriteOnce, FillsOnlyMissingOrEmptyValues) {
  const char* name = "WriteOnceProbe";
  reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name);
  reg_write_once_hklm(name, "");
  char out[64];
  EXPECT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, out, sizeof out),
            ERROR_FILE_NOT_FOUND)
      << "empty text written";
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, ""), ERROR_SUCCESS);
  reg_write_once_hklm(name, "first");
  reg_write_once_hklm(name, "second");
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, out, sizeof out), ERROR_SUCCESS);
  EXPECT_STREQ(out, "first");
  reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name);
}

}  // namespace
