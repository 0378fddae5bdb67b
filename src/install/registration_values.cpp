#include "install/registration_values.h"

#include "base/bounded_text.h"
#include "product/product.h"

namespace {

void add_text(uninstall_entry* entry, const char* name, const char* text) {
  uninstall_value* value = &entry->values[entry->count++];
  value->name = name;
  value->type = UNINSTALL_VALUE_TEXT;
  text_copy(value->text, text);
  value->number = 0;
}

// format takes the folder and the file name, in that order.
uninstall_value* add_format(uninstall_entry* entry, const char* name, const char* format, const char* folder,
                            const char* suffix) {
  uninstall_value* value = &entry->values[entry->count++];
  value->name = name;
  value->type = UNINSTALL_VALUE_TEXT;
  text_format(value->text, sizeof value->text, format, folder, suffix);
  value->number = 0;
  return value;
}

void add_dword(uninstall_entry* entry, const char* name, uint32_t number) {
  uninstall_value* value = &entry->values[entry->count++];
  value->name = name;
  value->type = UNINSTALL_VALUE_DWORD;
  value->text[0] = '\0';
  value->number = number;
}

}  // namespace

int uninstall_entry_build(const char* install_dir, const char* display_version, const msi_entry_facts* msi,
                          const char* help_link, uninstall_entry* out) {
  out->count = 0;
  add_text(out, "DisplayName", PRODUCT_DISPLAY_NAME);
  // Windows reads ",0" as the first icon of the file.
  add_format(out, "DisplayIcon", "%s\\%s", install_dir, PRODUCT_APP_EXE ",0");
  // Quoted like every other entry: unquoted, Windows reads "C:\Program" as the program and
  // the rest of the folder as its arguments.
  add_format(out, "UninstallString", "\"%s\\%s\"", install_dir, UNINSTALLER_EXE);
  add_text(out, "Publisher", PRODUCT_PUBLISHER);
  add_text(out, "DisplayVersion", display_version);
  add_text(out, "InstallLocation", install_dir);
  if (msi->product_code[0]) add_text(out, "MsiProductCode", msi->product_code);
  add_dword(out, "NoModify", 1);
  add_dword(out, "NoRepair", 1);
  add_text(out, "HelpLink", help_link);
  if (msi->estimated_size) add_dword(out, "EstimatedSize", msi->estimated_size);
  return out->count;
}

display_version_source display_version_choose(const char* msi_version, const char* client_version,
                                              const char* installer_version, char* out, size_t size) {
  if (msi_version && msi_version[0]) {
    text_copy(out, size, msi_version);
    return DISPLAY_VERSION_FROM_MSI;
  }
  if (client_version && client_version[0]) {
    text_copy(out, size, client_version);
    return DISPLAY_VERSION_FROM_CLIENT;
  }
  text_copy(out, size, installer_version);
  return DISPLAY_VERSION_FROM_INSTALLER;
}
