// A copy of the uninstaller in the run's private folder, so a run from the install folder can
// hand over to a copy that does not lock that folder. The copy is run elevated later, and the
// private folder of an unelevated run admits the user's other processes, so it is held from
// its making until the elevated copy runs (base/own_image_win.h, own_image_copy_held).
#pragma once

#include <cstddef>

// Starts the copy on its own thread; temp_uninstaller_staged() becomes true when it has finished.
void start_temp_uninstaller_staging();
bool temp_uninstaller_staged();

// After the staging has finished: the held copy's path; when the staging failed, one more
// attempt now. 0, or -1 with out emptied.
int temp_uninstaller_ready(char* out, size_t size);

// Lets go of the copy (once the elevated copy runs, and before the private folder goes).
// A copy still being staged is let go as soon as it is made.
void temp_uninstaller_release();
