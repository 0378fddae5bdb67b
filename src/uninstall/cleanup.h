// The removal's single operations, each best effort: what cannot be removed stays and
// the caller goes on. Registry work is in the 64-bit view.
#pragma once

#include <windows.h>

#include "product/product.h"

// schtasks.exe /Delete /TN "<name>" /F, waited for up to 10000 ms; a missing task simply
// makes schtasks fail.
void delete_scheduled_task(const char* task_name);

// Deletes every force-install entry naming the product's extension, then the list key
// and its empty policy parents when nothing else is left in them.
void remove_chrome_forcelist_entries();
// HKLM key_path when it has neither subkeys nor values; true when it is gone afterwards
// (deleted now or absent before).
bool remove_empty_policy_key(const char* key_path);

// The "Corvane" value of the Run key under root.
void delete_run_value(HKEY root);
// HKLM key_path with everything under it.
void delete_hklm_key_tree(const char* key_path);
// Every subkey and every value of the product key under root except the keep list's
// values; the key itself stays.
void purge_product_key(HKEY root, const name_list& keep);
