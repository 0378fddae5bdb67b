// The write-once rule that protects machine identifiers in the product key, against Wine's
// registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/registry_win.h"
#include "product/product.h"
#include "product/product_places_win.h"

namespace {

// The product key is shared with the other tests of this executable, so only a value of
// its own is touched.
TEST(RegistryWriteOnce, FillsOnlyMissingOrEmptyValues) {
  const char* name = "WriteOnceProbe";
  reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, name);
  reg_write_once_hklm(name, "");
  char out[64];
  EXPECT_EQ(reg_read_product_string(HKEY_LOCAL_MACHINE, name, out, sizeof out), -1) << "empty text written";
  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, name, ""), 0);
  reg_write_once_hklm(name, "first");
  reg_write_once_hklm(name, "second");
  ASSERT_EQ(reg_read_product_string(HKEY_LOCAL_MACHINE, name, out, sizeof out), 0);
  EXPECT_STREQ(out, "first");
  reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, name);
}

}  // namespace
