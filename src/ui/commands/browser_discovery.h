// Finding the machine's browsers for the onboarding page (the rules are browser_rules.h).
#pragma once

#include "ui/commands/browser_rules.h"

// Fills list from the StartMenuInternet entries of HKLM and HKCU.
void browsers_discover(browser_list* list);
