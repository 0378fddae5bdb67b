// The check before a launch: a second Corvane.exe must never be started next to a running
// one, whether that one shows its window yet or not.
#pragma once

// True when Corvane.exe runs: its first visible unowned top-level window was brought forward,
// or it has none yet and is taken to be starting up (either way logged). false otherwise, with
// *focus_rc FOCUS_NOT_RUNNING, or FOCUS_NO_SNAPSHOT when processes could not be listed.
bool focus_running_app(int* focus_rc);
