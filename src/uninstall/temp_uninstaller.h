// A copy of the uninstaller in the run's private folder, so a run from the install folder can
// hand over to a copy that does not lock that folder.
#pragma once

// Starts the copy on its own thread; temp_uninstaller_staged() becomes 1 when it has finished.
void start_temp_uninstaller_staging();
int temp_uninstaller_staged();
