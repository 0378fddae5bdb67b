#include "product/product.h"

namespace {

const char* const SERVICES[] = {PRODUCT_SERVICE_NAME, PRODUCT_DRIVER_SERVICE};
const char* const APPDATA_FOLDERS[] = {"Corvane", "CorvaneLabs"};
const char* const SHORTCUTS[] = {"CorVane.lnk", "Corvane.lnk"};

const char* const TASK_FILES[] = {
    "Corvane Updater",
    "Corvane Starter",
    "Corvane Update Starter",
    "CorvaneLabs\\CorvaneUpdateCheck",
    "CorvaneLabs\\CorvaneServiceCheck",
    "CorvaneLabs\\CorvaneUICheck",
    "CorvaneLabs\\CorvaneUpdateCheckHourly",
    "CorvaneLabs\\CorvaneUpdateCheckLogon",
    "CorvaneLabs\\CorvaneServiceCheckHourly",
    "CorvaneLabs\\CorvaneServiceCheckLogon",
    "CorvaneLabs\\CorvaneUICheckHourly",
    "CorvaneLabs\\CorvaneUICheckLogon",
    "CorvaneLabs\\CorvaneServiceStartLogon",
    "CorvaneLabs\\CorvaneCheckUpdates",
    "CorvaneLabs\\CorvaneServiceStart",
};

// The tasks the onboarding changes go first; the names of older releases follow.
const char* const TASK_NAMES[] = {
    "\\CorvaneLabs\\CorvaneUpdateCheck",
    SERVICE_CHECK_TASK,
    UI_CHECK_TASK,
    "Corvane Updater",
    "Corvane Starter",
    "Corvane Update Starter",
    "\\CorvaneLabs\\CorvaneUpdateCheckHourly",
    "\\CorvaneLabs\\CorvaneUpdateCheckLogon",
    LEGACY_SERVICE_CHECK_HOURLY_TASK,
    LEGACY_SERVICE_CHECK_LOGON_TASK,
    "\\CorvaneLabs\\CorvaneUICheckHourly",
    "\\CorvaneLabs\\CorvaneUICheckLogon",
    LEGACY_SERVICE_START_LOGON_TASK,
    "\\CorvaneLabs\\CorvaneCheckUpdates",
    "\\CorvaneLabs\\CorvaneServiceStart",
};

const char* const HKLM_IDENTITY[] = {"MachineId", "MachineDate"};
const char* const HKCU_IDENTITY[] = {"UserId", "UserDate"};

template <size_t N>
constexpr name_list list_of(const char* const (&names)[N]) {
  return name_list{names, N};
}

}  // namespace

const name_list PRODUCT_SERVICES = list_of(SERVICES);
const name_list PRODUCT_APPDATA_FOLDERS = list_of(APPDATA_FOLDERS);
const name_list PRODUCT_SHORTCUTS = list_of(SHORTCUTS);
const name_list PRODUCT_TASK_FILES = list_of(TASK_FILES);
const name_list PRODUCT_TASK_NAMES = list_of(TASK_NAMES);
const name_list HKLM_IDENTITY_VALUES = list_of(HKLM_IDENTITY);
const name_list HKCU_IDENTITY_VALUES = list_of(HKCU_IDENTITY);
